#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace vorlix {

class FileAssociation;
class Language;
class LanguageSwitch;
class Options;

// Everything the options window shows. Captions start as built in; the pack
// replaces all but the OK button, the language entries and the format label.
struct OptionsWindowState {
    std::string Caption = "Nastavení";
    std::vector<std::string> lbxOptionsMenu{"Nastavení"};
    int lbxOptionsMenuIndex = -1;  // -1: no entry selected
    std::string framMainConfiguration = "Hlavní konfigurace";
    bool framMainConfigurationVisible = false;
    std::string lblDefaultLanguage = "Výchozí jazyk";
    std::vector<std::string> cobSelectLanguage{"Čeština", "English"};
    int cobSelectLanguageIndex = -1;
    std::string chkCreateStandardFile = "Vytvořit standardní MD5 soubor";
    bool chkCreateStandardFileTicked = false;
    std::string lblStandardFormat = "Formát: MD5Code *FileName";
    std::string chckAssociate = "Asociace souborů s koncovkou .MD5 s tímto programem";
    bool chckAssociateTicked = false;
    // Digests beside MD5 in the main window, one box each as kAlsoComputable
    // lists them, named as the digests are.
    std::string lblAlsoCompute = "V hlavním okně počítat také";
    std::vector<std::string> chkAlsoCompute;
    std::vector<bool> chkAlsoComputeTicked;
    // The digest of folder checksum files, one entry per kDigestAlgorithms.
    std::string lblFolderDigest = "Součet v souborech pro složky";
    std::vector<std::string> cobFolderDigest;
    int cobFolderDigestIndex = 0;
    std::string cmdDefaultSave = "&Výchozí";
    std::string cmdOK = "&OK";
    std::string cmdCancel = "&Storno";
    std::string cmdApply = "&Použít";
    bool cmdOKEnabled = true;
    bool cmdCancelEnabled = true;
    bool cmdApplyEnabled = true;
    bool Closed = false;
};

// What the behaviour asks of the window that shows it.
class OptionsWindowView {
  public:
    virtual ~OptionsWindowView() = default;
    virtual void StateChanged() {}
    virtual void CentreOnScreen() {}
    virtual void Unload() {}
};

struct OptionsWindowServices {
    const Language& language;
    LanguageSwitch& languages;
    Options& options;
    FileAssociation& association;
    // Relabels the main window, which stays open below this one.
    std::function<void()> loadLangPackToMainForm;
};

// The behaviour of the options window frmOptions, without any widget. It
// works on the program-wide copies of the settings; only Apply, OK and
// Default write the store.
//
// A control's value set from here runs that control's change handler exactly
// when the value changes, as a user's choice would; the load step and the
// label routine rely on it. The view reports the user's choices through the
// same Set... calls.
class OptionsWindowModel {
  public:
    explicit OptionsWindowModel(OptionsWindowServices services);

    void SetView(OptionsWindowView* view) { view_ = view; }
    const OptionsWindowState& State() const { return state_; }

    void Form_Load();
    void LoadLangPackToOptionsForm();
    void SaveOptions();

    void SetOptionsMenuIndex(int index);
    void SetLanguageIndex(int index);
    void SetStandardFileTicked(bool ticked);
    void SetAssociateTicked(bool ticked);
    void SetAlsoComputeTicked(std::size_t box, bool ticked);
    void SetFolderDigestIndex(int index);

    void cmdDefaultSave_Click();
    void cmdApply_Click();
    void cmdOK_Click();
    void cmdCancel_Click();
    // The close box does what Cancel does.
    void Form_CloseBox() { cmdCancel_Click(); }

  private:
    void lbxOptionsMenu_Click();
    void cobSelectLanguage_Click();
    void chkCreateStandardFile_Click();
    void chckAssociate_Click();
    void ShowDigestChoices();
    void Unload();
    void Changed();

    OptionsWindowServices services_;
    OptionsWindowView* view_ = nullptr;
    OptionsWindowState state_;
};

}  // namespace vorlix
