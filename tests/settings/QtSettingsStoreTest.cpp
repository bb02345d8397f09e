#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "settings/QtSettingsStore.h"
#include "support/TempDir.h"

namespace vorlix {
namespace {

// QSettings settles on its folders at first use, so this test sits in a
// program of its own and sets XDG_CONFIG_HOME before anything else.
TEST(QtSettingsStoreTest, TextsRoundTripThroughTheUsersConfigFile) {
    test::TempDir config;
    setenv("XDG_CONFIG_HOME", config.Path().c_str(), 1);

    const struct {
        const char* key;
        const char* value;
    } values[] = {
        {"VersionProgram", "1.0.0.22 DB.000022-28.10.2023-13.18.05_VRLX."},
        {"LastUsedPath", "/home/user/Stažené soubory/a, b; c=d.iso"},
        {"DefaultLanguage", "1033"},
        {"DefaultContentMD5File", "True"},
        {"Copyright", "  spaces kept  "},
        {"Odd", "true"},
        {"Number", "-1"},
        {"Quoted", "\"quoted\" \\ [not a section]"},
    };
    {
        QtSettingsStore writer("vorlix");
        for (const auto& v : values) writer.Write("Configuration", v.key, v.value);
    }
    QtSettingsStore reader("vorlix");
    for (const auto& v : values) EXPECT_EQ(reader.Read("Configuration", v.key), v.value) << v.key;
    EXPECT_EQ(reader.Read("Configuration", "Absent"), "");
    EXPECT_EQ(reader.Read("Elsewhere", "DefaultLanguage"), "");
    EXPECT_EQ(QtSettingsStore("other").Read("Configuration", "DefaultLanguage"), "");

    const std::string file = test::ReadAll(config.Path() / "Vorlix/vorlix.conf");
    EXPECT_NE(file.find("[Configuration]\n"), std::string::npos) << file;
    EXPECT_NE(file.find("DefaultLanguage=1033\n"), std::string::npos) << file;
    EXPECT_EQ(reader.Failure(), std::nullopt);

    // A folder where the file should be: it can be neither read nor written,
    // and the store says so instead of losing the values without a word.
    std::filesystem::create_directories(config.Path() / "Vorlix/broken.conf");
    const std::string why =
        (config.Path() / "Vorlix/broken.conf").string() + ": the file cannot be read or written";
    QtSettingsStore unreadable("broken");
    EXPECT_EQ(unreadable.Read("Configuration", "DefaultLanguage"), "");
    EXPECT_EQ(unreadable.Failure(), why);
    QtSettingsStore unwritable("broken");
    unwritable.Write("Configuration", "DefaultLanguage", "1033");
    EXPECT_EQ(unwritable.Failure(), why);
}

}  // namespace
}  // namespace vorlix
