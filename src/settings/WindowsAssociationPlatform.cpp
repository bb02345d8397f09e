// The association in the Windows registry. Built only on Windows.
#include <shlobj.h>
#include <windows.h>

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "settings/AssociationPlatform.h"

namespace vorlix {

namespace {

std::wstring Wide(const std::string& text) {
    if (text.empty()) return {};
    const int length =
        MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                        length);
    return wide;
}

std::string Narrow(const std::wstring& text) {
    if (text.empty()) return {};
    const int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                           nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), narrow.data(),
                        length, nullptr, nullptr);
    return narrow;
}

// Per-user classes: they need no administrator and show through
// HKEY_CLASSES_ROOT ahead of the machine's.
const std::wstring kClasses = L"Software\\Classes\\";

// A refused write leaves the old state, which the options window shows the
// next time it tests it; the failure names the key.
void SetDefaultValue(AssociationFailures& failures, const std::wstring& key,
                     const std::wstring& value) {
    HKEY handle = nullptr;
    LONG status = RegCreateKeyExW(HKEY_CURRENT_USER, (kClasses + key).c_str(), 0, nullptr, 0,
                                  KEY_SET_VALUE, nullptr, &handle, nullptr);
    if (status == ERROR_SUCCESS) {
        status =
            RegSetValueExW(handle, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                           static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
        RegCloseKey(handle);
    }
    if (status != ERROR_SUCCESS) {
        failures.push_back({"HKEY_CURRENT_USER\\" + Narrow(kClasses + key),
                            std::error_code(static_cast<int>(status), std::system_category()),
                            {}});
    }
}

std::optional<std::wstring> DefaultValue(HKEY root, const std::wstring& key) {
    HKEY handle = nullptr;
    if (RegOpenKeyExW(root, key.c_str(), 0, KEY_QUERY_VALUE, &handle) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    DWORD type = 0;
    DWORD bytes = 0;
    std::optional<std::wstring> value;
    if (RegQueryValueExW(handle, nullptr, nullptr, &type, nullptr, &bytes) == ERROR_SUCCESS &&
        (type == REG_SZ || type == REG_EXPAND_SZ)) {
        std::vector<wchar_t> buffer(bytes / sizeof(wchar_t) + 1, L'\0');
        if (RegQueryValueExW(handle, nullptr, nullptr, &type,
                             reinterpret_cast<BYTE*>(buffer.data()), &bytes) == ERROR_SUCCESS) {
            value = std::wstring(buffer.data());
        }
    }
    RegCloseKey(handle);
    return value;
}

// RegDeleteKeyW refuses a key that still has subkeys, which is what we want:
// that refusal, and a key that is not there, are no failure.
void DeleteKeyIfLeaf(AssociationFailures& failures, const std::wstring& key) {
    const LONG status = RegDeleteKeyW(HKEY_CURRENT_USER, (kClasses + key).c_str());
    if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND &&
        status != ERROR_ACCESS_DENIED) {
        failures.push_back({"HKEY_CURRENT_USER\\" + Narrow(kClasses + key),
                            std::error_code(static_cast<int>(status), std::system_category()),
                            {}});
    }
}

void NotifyShell() { SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr); }

class WindowsAssociationPlatform final : public AssociationPlatform {
  public:
    explicit WindowsAssociationPlatform(ProgramLocation location)
        : location_(std::move(location)) {}

    AssociationFailures Register(const std::string& extension, const std::string& target,
                                 const std::string& typeName) override {
        AssociationFailures failures;
        const std::wstring type = Wide(typeName);
        SetDefaultValue(failures, type, type);
        SetDefaultValue(failures, L"." + Wide(extension), type);
        // Quoted, so that paths with spaces reach the program as one argument.
        SetDefaultValue(failures, type + L"\\shell\\open\\command",
                        L"\"" + Wide(target) + L"\" \"%1\"");
        SetDefaultValue(failures, type + L"\\DefaultIcon",
                        location_.folder.wstring() + L"\\" + Wide(location_.exeName) + L".exe,0");
        NotifyShell();
        return failures;
    }

    AssociationFailures Unregister(const std::string& extension,
                                   const std::string& typeName) override {
        AssociationFailures failures;
        const std::wstring type = Wide(typeName);
        DeleteKeyIfLeaf(failures, type + L"\\DefaultIcon");
        DeleteKeyIfLeaf(failures, type + L"\\shell\\open\\command");
        DeleteKeyIfLeaf(failures, type + L"\\shell\\open");
        DeleteKeyIfLeaf(failures, type + L"\\shell");
        DeleteKeyIfLeaf(failures, type);
        // Another program's claim on the extension is not ours to take away.
        const std::wstring extensionKey = L"." + Wide(extension);
        const auto owner = DefaultValue(HKEY_CURRENT_USER, kClasses + extensionKey);
        if (owner && *owner == type) DeleteKeyIfLeaf(failures, extensionKey);
        NotifyShell();
        return failures;
    }

    std::optional<std::string> OpenCommandProgram(const std::string& typeName) override {
        const auto command =
            DefaultValue(HKEY_CLASSES_ROOT, Wide(typeName) + L"\\shell\\open\\command");
        if (!command) return std::nullopt;
        std::wstring program = *command;
        if (!program.empty() && program.front() == L'"') {
            const auto closing = program.find(L'"', 1);
            program =
                program.substr(1, closing == std::wstring::npos ? std::wstring::npos : closing - 1);
        } else {
            // Older registrations wrote the path unquoted, followed by " %1".
            for (const wchar_t* tail : {L" \"%1\"", L" %1"}) {
                const std::wstring suffix = tail;
                if (program.size() >= suffix.size() &&
                    program.compare(program.size() - suffix.size(), suffix.size(), suffix) == 0) {
                    program.erase(program.size() - suffix.size());
                    break;
                }
            }
        }
        return Narrow(program);
    }

  private:
    ProgramLocation location_;
};

}  // namespace

std::unique_ptr<AssociationPlatform> MakeAssociationPlatform(const ProgramLocation& location) {
    return std::make_unique<WindowsAssociationPlatform>(location);
}

}  // namespace vorlix
