// Vorlix against md5sum -c, sha256sum -c and b2sum -c on checksum lists made
// at random from a fixed seed: every line the reference verifies, Vorlix
// verifies with the same result line, in the same order, and both agree on
// whether the list passed. A share of the lists is verified again with
// --ignore-missing on both sides, where the statuses must be the same too.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <iterator>
#include <map>
#include <random>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "digest/DigestAlgorithm.h"
#include "digest/Hasher.h"
#include "support/TempDir.h"

namespace vorlix {
namespace {

namespace fs = std::filesystem;
using test::ReadAll;
using test::TempDir;

// A reference program, the digest it computes and the name of its lists.
struct Reference {
    const char* program;
    DigestAlgorithm algorithm;
    const char* listName;
    unsigned lists;
};
constexpr Reference kMd5sum = {"/usr/bin/md5sum", DigestAlgorithm::Md5, "MD5SUMS", 300};
constexpr Reference kSha256sum = {"/usr/bin/sha256sum", DigestAlgorithm::Sha256, "SHA256SUMS", 150};
constexpr Reference kB2sum = {"/usr/bin/b2sum", DigestAlgorithm::Blake2b, "B2SUMS", 150};

constexpr std::uint32_t kSeed = 0x5eed'0901;
constexpr unsigned kDumpedLists = 10;
constexpr unsigned kIgnoreMissingEvery = 3;  // every third list runs once more

// --- Running a program ------------------------------------------------------

struct Outcome {
    int status = -1;  // -1: ended by a signal, or killed for hanging
    std::string out;
};

struct Child {
    pid_t pid = -1;
    int out = -1;
};

// Starts `argv` in `folder` with nothing but `env`, its input from /dev/null,
// its output into a pipe and its errors into `errors`.
Child Start(const std::vector<std::string>& argv, const std::vector<std::string>& env,
            const fs::path& folder, const fs::path& errors) {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) return {};
    posix_spawn_file_actions_t actions;
    ::posix_spawn_file_actions_init(&actions);
    ::posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    ::posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
    ::posix_spawn_file_actions_addopen(&actions, 2, errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                       0600);
    ::posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
    std::vector<char*> args, vars;
    for (const auto& word : argv) args.push_back(const_cast<char*>(word.c_str()));
    for (const auto& var : env) vars.push_back(const_cast<char*>(var.c_str()));
    args.push_back(nullptr);
    vars.push_back(nullptr);
    Child child;
    const int error =
        ::posix_spawn(&child.pid, argv[0].c_str(), &actions, nullptr, args.data(), vars.data());
    ::posix_spawn_file_actions_destroy(&actions);
    ::close(fds[1]);
    if (error != 0) {
        ::close(fds[0]);
        return {};
    }
    child.out = fds[0];
    return child;
}

// Reads the child's output to its end; one that hangs is killed.
Outcome Finish(const Child& child) {
    Outcome run;
    if (child.pid < 0) return run;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    char buffer[4096];
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                              deadline - std::chrono::steady_clock::now())
                              .count();
        pollfd ready{child.out, POLLIN, 0};
        const int polled = left > 0 ? ::poll(&ready, 1, static_cast<int>(left)) : 0;
        if (polled < 0 && errno == EINTR) continue;
        if (polled <= 0) {
            ::kill(child.pid, SIGKILL);
            break;
        }
        const ssize_t got = ::read(child.out, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) break;
        run.out.append(buffer, static_cast<std::size_t>(got));
    }
    ::close(child.out);
    int raw = 0;
    ::waitpid(child.pid, &raw, 0);
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return run;
}

// --- Making lists ------------------------------------------------------------

// What a name is built from: the bytes and words that have fooled list
// readers before, from blanks and escapes to the other layout's keys.
const std::vector<std::string> kPieces = {" ",
                                          "\t",
                                          "\x1b",
                                          "\xC2\x9B",
                                          "\x9B",
                                          "\\",
                                          "\n",
                                          "\r",
                                          "*",
                                          "(",
                                          ")",
                                          ") = ",
                                          "FileName",
                                          "MD5Checksum",
                                          "FileLenght",
                                          "[INI]",
                                          "[MD5FileInfo]",
                                          "[EOF]",
                                          "FileName=readme"};
const std::vector<std::string> kLayoutWords = {"FileName", "MD5Checksum",   "FileLenght",
                                               "[INI]",    "[MD5FileInfo]", "[EOF]"};

// md5sum reads standard input for "-"; the others are no file names.
bool UsableName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." && name != "-" &&
           name.find_first_of(std::string("/\0", 2)) == std::string::npos;
}

struct ListCase {
    std::string list;                          // the bytes of the list
    std::map<std::string, std::string> files;  // name, content
    std::set<std::string> folders;
};

class ListMaker {
  public:
    ListMaker(const Reference& reference, unsigned index)
        : rng_(kSeed + index), algorithm_(reference.algorithm), used_{reference.listName} {}

    ListCase Make(bool layoutWords) {
        reversedFirst_ = !layoutWords && Chance(0.15);
        const double crlf = Pick<double>({0.0, 0.0, 0.0, 0.0, 1.0, 0.5});
        std::vector<std::string> lines;
        if (layoutWords) {
            LayoutWordEntries(lines);
        } else {
            for (int count = Between(1, 8); count > 0; --count) lines.push_back(Entry());
        }
        for (int extra = Between(0, 4); extra > 0; --extra) {
            std::string other = Other();
            // b2sum reads a shorter digest as a shorter BLAKE2b, which Vorlix
            // does not compute: such lines are left out of its lists.
            while (algorithm_ == DigestAlgorithm::Blake2b && ShorterBlake2b(other)) other = Other();
            lines.insert(lines.begin() + Between(0, static_cast<int>(lines.size())), other);
        }
        for (std::size_t i = 0; i < lines.size(); ++i) {
            made_.list += lines[i];
            if (i + 1 < lines.size() || !Chance(0.15)) made_.list += Chance(crlf) ? "\r\n" : "\n";
        }
        return std::move(made_);
    }

  private:
    bool Chance(double p) { return std::bernoulli_distribution(p)(rng_); }
    int Between(int low, int high) { return std::uniform_int_distribution<int>(low, high)(rng_); }
    template <class T>
    T Pick(const std::vector<T>& from) {
        return from[static_cast<std::size_t>(Between(0, static_cast<int>(from.size()) - 1))];
    }

    std::string Letter() {
        static const std::string letters = "abcxyzABCXYZ019._";
        return letters.substr(
            static_cast<std::size_t>(Between(0, static_cast<int>(letters.size()) - 1)), 1);
    }

    std::string Junk(int most) {
        std::string text;
        for (int count = Between(1, most); count > 0; --count) {
            text += Chance(0.5) ? Letter() : Pick(kPieces);
        }
        return text;
    }

    // A name not used yet in this folder.
    std::string FreshName(const std::string& around = "") {
        for (;;) {
            std::string name = Chance(0.3) ? Letter() : "";
            name += around.empty() ? Junk(5) : Junk(2) + around + (Chance(0.5) ? Junk(2) : "");
            if (UsableName(name) && used_.insert(name).second) return name;
        }
    }

    std::string RandomDigest() {
        static const char hex[] = "0123456789abcdef";
        std::string digest;
        for (std::size_t i = 0; i < HexDigits(algorithm_); ++i) digest += hex[Between(0, 15)];
        return digest;
    }

    std::string Digest(const std::string& bytes) const { return TextDigest(algorithm_, bytes); }
    std::string Tag() const { return std::string(TagName(algorithm_)); }

    // Whether b2sum would take the line as an entry of a BLAKE2b shorter than 512 bits.
    static bool ShorterBlake2b(const std::string& line) {
        std::size_t i = line.find_first_not_of(" \t");
        if (i == std::string::npos) return false;
        if (line[i] == '\\') ++i;
        std::size_t digits = 0;
        while (i + digits < line.size() &&
               std::isxdigit(static_cast<unsigned char>(line[i + digits])))
            ++digits;
        return digits >= 2 && digits < 128 && digits % 2 == 0 && i + digits < line.size() &&
               (line[i + digits] == ' ' || line[i + digits] == '\t');
    }

    std::string Cased(std::string digest) {
        if (Chance(0.2)) {
            const bool all = Chance(0.7);
            for (char& c : digest) {
                if (all || Chance(0.5)) c = static_cast<char>(std::toupper(c));
            }
        }
        return digest;
    }

    // The name an entry gives and the digest it records: an intact file's, a
    // damaged file's (that of other bytes), or any for a folder or no file.
    std::pair<std::string, std::string> Target(const std::string& around = "") {
        const int kind = Between(0, 19);
        if (kind < 12) {
            std::string name;
            if (!made_.files.empty() && Chance(0.2)) {
                auto it = made_.files.begin();
                std::advance(it, Between(0, static_cast<int>(made_.files.size()) - 1));
                name = it->first;
            } else {
                name = FreshName(around);
                const std::string content = "file " + std::to_string(made_.files.size()) + "\n";
                made_.files[name] = content;
            }
            const std::string& content = made_.files[name];
            return {name, Digest(kind < 8 ? content : content + "!")};
        }
        const std::string name = FreshName(around);
        if (kind == 12) made_.folders.insert(name);
        return {name, RandomDigest()};
    }

    // md5sum's escapes, token by token, so that a bad escape can go between two.
    static std::vector<std::string> EscapeTokens(const std::string& name) {
        std::vector<std::string> tokens;
        for (char c : name) {
            tokens.push_back(c == '\\'   ? "\\\\"
                             : c == '\n' ? "\\n"
                             : c == '\r' ? "\\r"
                                         : std::string(1, c));
        }
        return tokens;
    }

    // One line for `name` in one of md5sum's forms, often with the details
    // that tell readers apart: blanks in front, tabs, case, a NUL.
    std::string EntryLine(const std::string& digest, const std::string& name, bool reversed) {
        const bool cr = name.find('\r') != std::string::npos;
        const bool escaped =
            name.find('\n') != std::string::npos || (cr && Chance(0.8)) || (!cr && Chance(0.15));
        std::string written = name;
        if (escaped) {
            auto tokens = EscapeTokens(name);
            if (Chance(0.15)) {
                if (Chance(0.2)) {
                    tokens.push_back("\\");
                } else {
                    tokens.insert(tokens.begin() + Between(0, static_cast<int>(tokens.size())),
                                  Pick<std::string>({"\\t", "\\a", "\\ ", "\\0", "\\N"}));
                }
            }
            written.clear();
            for (const auto& token : tokens) written += token;
        }
        std::string line = Chance(0.1) ? Pick<std::string>({" ", "\t", "  ", " \t"}) : "";
        if (escaped) line += "\\";
        const std::string shown = Cased(digest);
        if (!reversed && Chance(0.25)) {
            line += Pick<std::string>({Tag() + " (", Tag() + " (", Tag() + "("}) + written +
                    Pick<std::string>({") = ", ") = ", ")= ", ")=", ") =\t", ")  =  "}) + shown;
        } else if (reversed) {
            line += shown + Pick<std::string>({" ", " ", "\t"}) + written;
        } else {
            line += shown + Pick<std::string>({"  ", " *", "  ", " *", "\t ", "\t*"}) + written;
        }
        if (Chance(0.05)) line += std::string(1, '\0') + Junk(2);
        return line;
    }

    std::string Entry() {
        if (!entries_.empty() && Chance(0.1)) {
            return entries_[static_cast<std::size_t>(
                Between(0, static_cast<int>(entries_.size()) - 1))];
        }
        std::pair<std::string, std::string> target;
        if (!targets_.empty() && Chance(0.05)) {
            target = targets_[static_cast<std::size_t>(
                Between(0, static_cast<int>(targets_.size()) - 1))];
        } else {
            target = Target();
        }
        const bool reversed = reversedFirst_ ? (entries_.empty() || Chance(0.5)) : Chance(0.05);
        targets_.push_back(target);
        entries_.push_back(EntryLine(target.second, target.first, reversed));
        return entries_.back();
    }

    // One entry for each key of the other layout, in a name; sometimes with
    // that layout's own lines around them.
    void LayoutWordEntries(std::vector<std::string>& lines) {
        std::vector<std::string> words = kLayoutWords;
        std::shuffle(words.begin(), words.end(), rng_);
        for (const auto& word : words) {
            const auto [name, digest] = Target(word);
            lines.push_back(EntryLine(digest, name, false));
        }
        if (!made_.files.empty() && Chance(0.5)) {
            const auto& [name, content] = *made_.files.begin();
            const std::vector<std::string> block = {"[INI]",
                                                    "[MD5FileInfo]",
                                                    "FileName=" + name,
                                                    "MD5Checksum=" + Digest(content),
                                                    "FileLenght=" + std::to_string(content.size()),
                                                    "[EOF]"};
            lines.insert(Chance(0.5) ? lines.begin() : lines.end(), block.begin(), block.end());
        }
    }

    // A line that is no entry, or only nearly one.
    std::string Other() {
        const std::string name =
            made_.files.empty() || Chance(0.3) ? FreshName() : made_.files.begin()->first;
        const std::string digest =
            made_.files.count(name) ? Digest(made_.files[name]) : RandomDigest();
        switch (Between(0, 18)) {
            case 0:
                return "";
            case 1:
                return Pick<std::string>({" ", "\t", " \t "});
            case 2:
                return "#" + Junk(4);
            case 3:
                return "#" + digest + "  " + name;
            case 4:
                return Junk(6);
            case 5:
                return digest.substr(1) + "  " + name;
            case 6:
                return digest + "0  " + name;
            case 7:
                return "g" + digest.substr(1) + "  " + name;
            case 8:
                return Tag() + " (" + name + ") = " + digest.substr(1);
            case 9:
                return Tag() + " (" + name + ") = " + digest + Pick<std::string>({" ", "\t", "x"});
            case 10:
                return Pick<std::string>(
                           {Tag() + "  (", "md5 (", "SHA1 (", Tag() + "\t(", "MD5 (", "SHA256 ("}) +
                       name + ") = " + digest;
            case 11:
                return digest + Pick<std::string>({"", " ", "  ", " *"});
            case 12:
                return "\\" + digest + "  " + name + "\\";
            case 13:
                return "FileName=" + name;
            case 14:
                return "MD5Checksum=" + digest;
            case 15:
                return Pick(kLayoutWords);
            case 16:
                return "FileName=readme";
            case 17:
                return digest + "*" + name;
            default:
                return "\r";
        }
    }

    std::mt19937 rng_;
    DigestAlgorithm algorithm_;
    ListCase made_;
    std::set<std::string> used_;
    std::vector<std::string> entries_;
    std::vector<std::pair<std::string, std::string>> targets_;
    bool reversedFirst_ = false;
};

// --- Reporting ---------------------------------------------------------------

// Bytes as a printf format that gives them back.
std::string Printable(const std::string& bytes) {
    std::string shown;
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\n') {
            shown += "\\n";
        } else if (c == '\r') {
            shown += "\\r";
        } else if (c == '\t') {
            shown += "\\t";
        } else if (c == '\\') {
            shown += "\\\\";
        } else if (c == '%') {
            shown += "%%";
        } else if (byte < 0x20 || byte >= 0x7f) {
            char code[8];
            std::snprintf(code, sizeof code, "\\x%02x", byte);
            shown += code;
        } else {
            shown += c;
        }
    }
    return shown;
}

std::string Dump(const std::string& run, const ListCase& made, const Outcome& md5sum,
                 const Outcome& vorlix, const std::string& vorlixErrors) {
    std::string text = "\n--- list " + run + "\nlist: " + Printable(made.list) + "\n";
    for (const auto& [name, content] : made.files) {
        text += "file:    " + Printable(name) + " <- " + Printable(content) + "\n";
    }
    for (const auto& name : made.folders) text += "folder:  " + Printable(name) + "\n";
    text += "reference (" + std::to_string(md5sum.status) + "): " + Printable(md5sum.out) + "\n";
    text += "vorlix (" + std::to_string(vorlix.status) + "): " + Printable(vorlix.out) + "\n";
    text += "vorlix's errors: " + Printable(vorlixErrors) + "\n";
    return text;
}

void WriteFile(const fs::path& path, const std::string& bytes) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ASSERT_GE(fd, 0) << Printable(path.string());
    ASSERT_EQ(::write(fd, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    ::close(fd);
}

std::string ReferenceVersion(const Reference& reference, const fs::path& scratch) {
    const Outcome run =
        Finish(Start({reference.program, "--version"}, {"LC_ALL=C"}, scratch, "/dev/null"));
    return run.out.substr(0, run.out.find('\n'));
}

void CompareWith(const Reference& reference) {
    if (::access(reference.program, X_OK) != 0)
        GTEST_SKIP() << "no " << reference.program << " to compare with";
    TempDir home;
    const std::string version = ReferenceVersion(reference, home.Path());
    // Its lines are the ones coreutils 9.1 prints; other releases escape otherwise.
    if (!version.ends_with(" 9.1"))
        GTEST_SKIP() << "the lines follow coreutils 9.1, not " << version;

    // A copy of the program with its packs, in a home of its own.
    const fs::path bin = home.Path() / "bin";
    fs::create_directories(bin);
    fs::create_directories(home.Path() / "work");
    fs::copy_file(VORLIX_BINARY, bin / "vorlix");
    fs::copy(fs::path(VORLIX_BINARY).parent_path() / "Languages", bin / "Languages",
             fs::copy_options::recursive);
    const std::string dir = home.Path().string();
    const std::vector<std::string> vorlixEnv = {"PATH=/usr/bin:/bin",
                                                "LANG=C.UTF-8",
                                                "VORLIX_UI=console",
                                                "HOME=" + dir,
                                                "XDG_CONFIG_HOME=" + dir + "/config",
                                                "XDG_DATA_HOME=" + dir + "/data"};
    const std::vector<std::string> md5sumEnv = {"PATH=/usr/bin:/bin", "LC_ALL=C"};
    const fs::path md5sumErrors = home.Path() / "md5sum.err";
    const fs::path vorlixErrors = home.Path() / "vorlix.err";

    std::vector<std::string> mismatching;
    std::string dumps;
    // One run of each program on the list in `folder`; with --ignore-missing
    // the statuses must match, but for the list without any entry, where
    // Vorlix's is 2 for md5sum's 1.
    const auto compare = [&](unsigned index, const ListCase& made, const fs::path& folder,
                             bool ignoreMissing) {
        std::vector<std::string> theirs = {reference.program, "-c", reference.listName};
        std::vector<std::string> ours = {(bin / "vorlix").string(),
                                         (folder / reference.listName).string()};
        if (ignoreMissing) {
            theirs.insert(theirs.begin() + 1, "--ignore-missing");
            ours.insert(ours.begin() + 1, "--ignore-missing");
        }
        const Child referenceChild = Start(theirs, md5sumEnv, folder, md5sumErrors);
        const Child ourChild = Start(ours, vorlixEnv, home.Path() / "work", vorlixErrors);
        const Outcome md5sum = Finish(referenceChild);
        const Outcome vorlix = Finish(ourChild);
        const std::string run = std::to_string(index) + (ignoreMissing ? " --ignore-missing" : "");
        ASSERT_TRUE(md5sum.status == 0 || md5sum.status == 1)
            << Dump(run, made, md5sum, vorlix, "");

        const bool ended = vorlix.status >= 0 && vorlix.status <= 2;
        bool same =
            ended && vorlix.out == md5sum.out && (vorlix.status == 0) == (md5sum.status == 0);
        if (ignoreMissing) {
            const bool noEntry =
                ReadAll(md5sumErrors).find("no properly formatted checksum") != std::string::npos;
            same = same && vorlix.status == (noEntry ? 2 : md5sum.status);
        }
        if (!same) {
            if (mismatching.size() < kDumpedLists) {
                dumps += Dump(run, made, md5sum, vorlix, ReadAll(vorlixErrors));
            }
            mismatching.push_back(run);
        }
    };
    for (unsigned index = 0; index < reference.lists; ++index) {
        // Every tenth list is built from the other layout's keys.
        const ListCase made = ListMaker(reference, index).Make(index % 10 == 0);
        const fs::path folder = home.Path() / "lists" / std::to_string(index);
        fs::create_directories(folder);
        for (const auto& [name, content] : made.files) WriteFile(folder / name, content);
        for (const auto& name : made.folders) fs::create_directory(folder / name);
        WriteFile(folder / reference.listName, made.list);

        compare(index, made, folder, false);
        if (index % kIgnoreMissingEvery == 0) compare(index, made, folder, true);
        if (::testing::Test::HasFatalFailure()) return;
        fs::remove_all(folder);
    }

    if (!mismatching.empty()) {
        std::string indices;
        for (const std::string& run : mismatching) indices += " (" + run + ")";
        ADD_FAILURE() << "lists where Vorlix and " << reference.program << " -c differ:" << indices
                      << "\n(the first " << kDumpedLists << " follow)" << dumps;
    }
}

TEST(ListDifferential, EveryLineMd5sumVerifiesVorlixVerifiesAlike) { CompareWith(kMd5sum); }
TEST(ListDifferential, EveryLineSha256sumVerifiesVorlixVerifiesAlike) { CompareWith(kSha256sum); }
TEST(ListDifferential, EveryLineB2sumVerifiesVorlixVerifiesAlike) { CompareWith(kB2sum); }

}  // namespace
}  // namespace vorlix
