#include "settings/OptionsWindowModel.h"

#include <utility>

#include "digest/DigestAlgorithm.h"
#include "identity/Version.h"
#include "language/Language.h"
#include "language/LanguageSwitch.h"
#include "settings/FileAssociation.h"
#include "settings/Options.h"

namespace vorlix {

OptionsWindowModel::OptionsWindowModel(OptionsWindowServices services)
    : services_(std::move(services)) {
    for (DigestAlgorithm algorithm : kAlsoComputable) {
        state_.chkAlsoCompute.emplace_back(DisplayName(algorithm));
        state_.chkAlsoComputeTicked.push_back(false);
    }
    for (DigestAlgorithm algorithm : kDigestAlgorithms)
        state_.cobFolderDigest.emplace_back(DisplayName(algorithm));
}

void OptionsWindowModel::Changed() {
    if (view_) view_->StateChanged();
}

void OptionsWindowModel::Form_Load() {
    if (view_) view_->CentreOnScreen();
    SetOptionsMenuIndex(0);
    services_.options.CheckSettings();
    // Puts the language list on the language in force, which makes it the
    // in-memory default.
    LoadLangPackToOptionsForm();
    SetAssociateTicked(services_.association.IsExtensionAssociated());
    SetStandardFileTicked(services_.options.DefaultContentMD5File);
    ShowDigestChoices();
    state_.cmdOKEnabled = true;
    state_.cmdCancelEnabled = true;
    state_.cmdApplyEnabled = true;
    Changed();
}

void OptionsWindowModel::LoadLangPackToOptionsForm() {
    const Language& pack = services_.language;
    state_.Caption = pack.GetLabel("frmOptions", "Caption");

    const std::string identifier = pack.GetLabel("Head", "LanguageFileNo");
    if (identifier == std::to_string(kCzech)) {
        SetLanguageIndex(0);
    } else if (identifier == std::to_string(kEnglish)) {
        SetLanguageIndex(1);
    } else {
        // No pack of ours names another language.
        pack.ReportFailure(PackFailure::OtherLanguage);
        return;
    }

    state_.cmdCancel = pack.GetLabel("Generic", "ButtonCancelCaption");
    state_.cmdApply = pack.GetLabel("Generic", "ButtonApplyCaption");
    state_.cmdDefaultSave = pack.GetLabel("Generic", "ButtonDefaultCaption");
    state_.framMainConfiguration = pack.GetLabel("frmOptions", "Frame");
    state_.lblDefaultLanguage = pack.GetLabel("frmOptions", "LabelDefaultLanguage");
    state_.lbxOptionsMenu = {pack.GetLabel("frmOptions", "MenuItem1")};
    state_.lbxOptionsMenuIndex = -1;
    state_.chckAssociate = pack.GetLabel("frmOptions", "CheckBoxAssociate");
    state_.chkCreateStandardFile = pack.GetLabel("frmOptions", "CreateStandardFileFormat");
    state_.lblAlsoCompute = pack.GetLabel("frmOptions", "LabelAlsoCompute");
    state_.lblFolderDigest = pack.GetLabel("frmOptions", "LabelFolderDigest");
    Changed();
}

void OptionsWindowModel::SaveOptions() {
    Options& options = services_.options;
    FileAssociation& association = services_.association;
    options.SaveSetting(kKeyVersionProgram, VersionString() + " " + BuildString());
    // One of the two runs on every save, so the desktop always ends up as the
    // box shows it. What the desktop refused is not shown: the box shows the
    // real state the next time the window opens.
    if (state_.chckAssociateTicked && association.AssociationChecked) {
        association.AssociateExtension("md5", association.ExeFullPath, association.TypeName());
    } else {
        association.RemoveExtensionAssociation("md5", association.TypeName());
    }
    options.SaveSetting(kKeyDefaultLanguage, options.DefaultLanguage);
    options.SaveSetting(kKeyDefaultContentMD5File,
                        Options::BooleanText(options.DefaultContentMD5File));
    options.SaveSetting(kKeyAlsoCompute, AlsoComputeText(options.AlsoCompute));
    options.SaveSetting(kKeyFolderDigest, std::string(CommandLineName(options.FolderDigest)));
}

void OptionsWindowModel::ShowDigestChoices() {
    const Options& options = services_.options;
    for (std::size_t box = 0; box < kAlsoComputable.size(); ++box)
        state_.chkAlsoComputeTicked[box] = options.AlsoCompute.Has(kAlsoComputable[box]);
    state_.cobFolderDigestIndex = static_cast<int>(options.FolderDigest);
    Changed();
}

// Like the layout box: the choice is in force at once, the store gets it
// with Apply or OK.
void OptionsWindowModel::SetAlsoComputeTicked(std::size_t box, bool ticked) {
    if (box >= kAlsoComputable.size() || state_.chkAlsoComputeTicked[box] == ticked) return;
    state_.chkAlsoComputeTicked[box] = ticked;
    DigestSet set;
    for (std::size_t i = 0; i < kAlsoComputable.size(); ++i) {
        if (state_.chkAlsoComputeTicked[i]) set.Add(kAlsoComputable[i]);
    }
    services_.options.AlsoCompute = set;
    Changed();
}

void OptionsWindowModel::SetFolderDigestIndex(int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= kDigestAlgorithms.size() ||
        state_.cobFolderDigestIndex == index)
        return;
    state_.cobFolderDigestIndex = index;
    services_.options.FolderDigest = kDigestAlgorithms[static_cast<std::size_t>(index)];
    Changed();
}

void OptionsWindowModel::SetOptionsMenuIndex(int index) {
    if (state_.lbxOptionsMenuIndex == index) return;
    state_.lbxOptionsMenuIndex = index;
    lbxOptionsMenu_Click();
}

void OptionsWindowModel::SetLanguageIndex(int index) {
    if (state_.cobSelectLanguageIndex == index) return;
    state_.cobSelectLanguageIndex = index;
    cobSelectLanguage_Click();
}

void OptionsWindowModel::SetStandardFileTicked(bool ticked) {
    if (state_.chkCreateStandardFileTicked == ticked) return;
    state_.chkCreateStandardFileTicked = ticked;
    chkCreateStandardFile_Click();
}

void OptionsWindowModel::SetAssociateTicked(bool ticked) {
    if (state_.chckAssociateTicked == ticked) return;
    state_.chckAssociateTicked = ticked;
    chckAssociate_Click();
}

void OptionsWindowModel::lbxOptionsMenu_Click() {
    if (state_.lbxOptionsMenuIndex == 0) state_.framMainConfigurationVisible = true;
    Changed();
}

void OptionsWindowModel::cobSelectLanguage_Click() {
    state_.cmdCancelEnabled = true;
    state_.cmdApplyEnabled = true;
    Options& options = services_.options;
    switch (state_.cobSelectLanguageIndex) {
        case 0:
            services_.languages.ApplyLanguage(kCzech);
            options.DefaultLanguage = std::to_string(kCzech);
            break;
        case 1:
            services_.languages.ApplyLanguage(kEnglish);
            options.DefaultLanguage = std::to_string(kEnglish);
            break;
        default:
            break;
    }
    if (services_.loadLangPackToMainForm) services_.loadLangPackToMainForm();
    // Puts the list on the entry it is on already, which ends the nesting.
    LoadLangPackToOptionsForm();
}

void OptionsWindowModel::chkCreateStandardFile_Click() {
    services_.options.DefaultContentMD5File = state_.chkCreateStandardFileTicked;
    Changed();
}

void OptionsWindowModel::chckAssociate_Click() {
    state_.cmdApplyEnabled = true;
    state_.cmdCancelEnabled = true;
    Changed();
}

void OptionsWindowModel::cmdDefaultSave_Click() {
    services_.options.WriteDefaultSettings();
    // The later settings go back to theirs too.
    services_.options.SaveSetting(kKeyAlsoCompute, "");
    services_.options.SaveSetting(kKeyFolderDigest,
                                  std::string(CommandLineName(DigestAlgorithm::Md5)));
    services_.options.CheckSettings();
    ShowDigestChoices();
}

void OptionsWindowModel::cmdApply_Click() {
    SaveOptions();
    state_.cmdApplyEnabled = false;
    state_.cmdCancelEnabled = false;
    Changed();
    services_.options.CheckSettings();
}

void OptionsWindowModel::cmdOK_Click() {
    SaveOptions();
    services_.options.CheckSettings();
    Unload();
}

void OptionsWindowModel::cmdCancel_Click() { Unload(); }

void OptionsWindowModel::Unload() {
    state_.Closed = true;
    Changed();
    if (view_) view_->Unload();
}

}  // namespace vorlix
