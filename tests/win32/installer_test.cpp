// tovalen-setup.exe, a 64-bit NSIS installer, installing and uninstalling
// silently in a Wine prefix of its own, with a logging stand-in for netsh.exe:
// what lands where, the firewall rules, a folder of its own, the parent
// folders it made and those it refuses, one copy after a reinstall, a
// running program left alone, and an uninstall that leaves nothing behind.
// (Wine keeps no access lists, so the folder's protection is not seen here;
// it shows one made from the Unix mode, which is what the parent-folder rule
// is seen against.)
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <windows.h>
#include <aclapi.h>
#include <sddl.h>
#include <tlhelp32.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

#include "support/ci.h"
#include "win32/program_driver.h"
#include "win32/text.h"

namespace win32test {
namespace {

namespace fs = std::filesystem;
using testing::HasSubstr;
using testing::IsEmpty;

const wchar_t* const kUninstallKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tovalen";
const fs::path kDefaultFolder = L"C:\\Program Files\\Tovalen";
const fs::path kStartMenuEntry = L"C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\Tovalen.lnk";
const fs::path kStandInLog = L"C:\\standin.log";

std::wstring installerPath() { return windowsPath(TOVALEN_INSTALLER); }

// A value of the 64-bit uninstall key; nothing when it or the key is missing.
std::optional<std::wstring> uninstallValue(const wchar_t* name) {
  wchar_t value[MAX_PATH] = {};
  DWORD size = sizeof value;
  if (RegGetValueW(HKEY_LOCAL_MACHINE, kUninstallKey, name, RRF_RT_REG_SZ, nullptr, value, &size) != ERROR_SUCCESS)
    return std::nullopt;
  return value;
}

// What lies at the top of drive C:, but for the stand-in's log, and
// everything below the folders an installer for all users writes to. (Not
// the user's own folders, which Wine links into the home folder.)
std::set<fs::path> driveContents() {
  std::set<fs::path> contents;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(L"C:\\", error))
    if (entry.path() != kStandInLog) contents.insert(entry.path());
  for (const fs::path& root : {fs::path(L"C:\\Program Files"), fs::path(L"C:\\ProgramData"), fs::temp_directory_path()})
    for (auto entry = fs::recursive_directory_iterator(root, error); entry != fs::recursive_directory_iterator();
         entry.increment(error))
      contents.insert(entry->path());
  return contents;
}

bool processRuns(const std::wstring& executable) {
  const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  PROCESSENTRY32W process{};
  process.dwSize = sizeof process;
  bool found = false;
  for (BOOL more = Process32FirstW(snapshot, &process); more && !found; more = Process32NextW(snapshot, &process))
    found = lstrcmpiW(process.szExeFile, executable.c_str()) == 0;
  CloseHandle(snapshot);
  return found;
}

// Gives `folder` an access list that lets everyone do anything with it. Wine
// keeps it as the Unix mode 777, and then shows Everyone with full control.
void letEveryoneChange(const fs::path& folder) {
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:(A;OICI;FA;;;WD)", SDDL_REVISION_1,
                                                                   &descriptor, nullptr));
  BOOL present = FALSE, defaulted = FALSE;
  PACL list = nullptr;
  GetSecurityDescriptorDacl(descriptor, &present, &list, &defaulted);
  const DWORD error = SetNamedSecurityInfoW(const_cast<wchar_t*>(folder.c_str()), SE_FILE_OBJECT,
                                            DACL_SECURITY_INFORMATION, nullptr, nullptr, list, nullptr);
  LocalFree(descriptor);
  ASSERT_EQ(error, static_cast<DWORD>(ERROR_SUCCESS));
}

// Whether the folder's access list, as the system shows it, lets Everyone
// delete what the folder holds.
bool everyoneMayDeleteInside(const fs::path& folder) {
  PACL list = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (GetNamedSecurityInfoW(folder.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, &list,
                            nullptr, &descriptor) != ERROR_SUCCESS)
    return false;
  bool found = false;
  PSID everyone = nullptr;
  ConvertStringSidToSidW(L"S-1-1-0", &everyone);
  for (DWORD index = 0; list && index < list->AceCount && !found; ++index) {
    void* entry = nullptr;
    if (!GetAce(list, index, &entry)) break;
    const auto* allowed = static_cast<const ACCESS_ALLOWED_ACE*>(entry);
    found = allowed->Header.AceType == ACCESS_ALLOWED_ACE_TYPE && (allowed->Mask & FILE_DELETE_CHILD) &&
            EqualSid(const_cast<DWORD*>(&allowed->SidStart), everyone);
  }
  LocalFree(everyone);
  LocalFree(descriptor);
  return found;
}

// The SID text of the folder's owner, as the system shows it; empty when unread.
std::wstring ownerOf(const fs::path& folder) {
  PSID owner = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  std::wstring text;
  wchar_t* converted = nullptr;
  if (GetNamedSecurityInfoW(folder.c_str(), SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, &owner, nullptr, nullptr,
                            nullptr, &descriptor) == ERROR_SUCCESS &&
      ConvertSidToStringSidW(owner, &converted)) {
    text = converted;
    LocalFree(converted);
  }
  LocalFree(descriptor);
  return text;
}

std::string standInLog() {
  std::ifstream in(kStandInLog, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

class InstallerTest : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    // The stand-in takes netsh.exe's place, and Wine runs it rather than its own.
    ASSERT_TRUE(CopyFileW(windowsPath(TOVALEN_STANDIN).c_str(), L"C:\\windows\\system32\\netsh.exe", FALSE));
    HKEY overrides = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Wine\\DllOverrides", 0, nullptr, 0, KEY_SET_VALUE,
                              nullptr, &overrides, nullptr),
              ERROR_SUCCESS);
    const wchar_t native[] = L"native";
    RegSetValueExW(overrides, L"netsh.exe", 0, REG_SZ, reinterpret_cast<const BYTE*>(native), sizeof native);
    RegCloseKey(overrides);
    ASSERT_TRUE(SetEnvironmentVariableW(L"TOVALEN_STANDIN_LOG", kStandInLog.c_str()));
  }

  // Whatever an earlier test or run left installed goes, and the folders the
  // tests make, so that each starts clean.
  void SetUp() override {
    uninstallAny();
    std::error_code error;
    for (const wchar_t* folder : {L"C:\\Apps", L"C:\\Site", L"C:\\Shared", L"C:\\Tools"})
      fs::remove_all(folder, error);
    before = driveContents();
    fs::remove(kStandInLog);
  }
  void TearDown() override { uninstallAny(); }

  static void uninstallAny() {
    if (const auto folder = uninstallValue(L"InstallLocation")) {
      EXPECT_EQ(uninstallInPlace(*folder), 0u);
    }
  }

  // The uninstaller as Windows' list of programs starts it: it hands over to
  // a copy of itself in the temporary folder, which removes everything, the
  // uninstaller and the folder included, and then the uninstall key.
  static void uninstallAsWindowsDoes(const fs::path& folder) {
    const ProgramProcess uninstaller((folder / L"uninstall.exe").wstring(), L"/S");
    EXPECT_EQ(uninstaller.exitCode(), 0u);
    ASSERT_TRUE(waitFor([] { return !uninstallValue(L"InstallLocation") && !processRuns(L"Un.exe"); }));
  }

  // The installer's exit status: 0 done, 2 refused.
  static std::optional<DWORD> install(const fs::path& folder = {}) {
    // /D= must come last, unquoted.
    const std::wstring arguments = folder.empty() ? L"/S" : L"/S /D=" + folder.wstring();
    // Wine's CreateProcessW has been seen to fail now and then right after
    // the installer's previous run ended: the system's refusal is said, and
    // the start tried again, since the test is about what the installer does.
    for (int attempt = 0; attempt < 3; ++attempt) {
      const ProgramProcess installer(installerPath(), arguments);
      if (installer.started()) return installer.exitCode();
      std::fprintf(stderr, "the installer did not start (error %lu)\n", GetLastError());
    }
    return std::nullopt;
  }
  // The uninstaller run from its folder, waited for: NSIS otherwise hands
  // over to a copy of itself in the temporary folder and returns at once.
  // Running, it cannot remove itself; once it is done, the test does.
  static std::optional<DWORD> uninstallInPlace(const fs::path& folder) {
    const ProgramProcess uninstaller((folder / L"uninstall.exe").wstring(), L"/S _?=" + folder.wstring());
    const auto status = uninstaller.exitCode();
    std::error_code error;
    if (status == 0u && fs::remove(folder / L"uninstall.exe", error)) fs::remove(folder, error);
    return status;
  }

  std::set<fs::path> before;
};

TEST_F(InstallerTest, ASilentInstallGivesTheProgramsTheirEntriesAndFirewallRulesAndItsUninstallLeavesNothing) {
  ASSERT_EQ(install(), 0u);
  EXPECT_TRUE(fs::is_regular_file(kDefaultFolder / L"tovalen.exe"));
  EXPECT_TRUE(fs::is_regular_file(kDefaultFolder / L"tovalen-cli.exe"));
  EXPECT_TRUE(fs::is_regular_file(kStartMenuEntry));
  EXPECT_EQ(uninstallValue(L"InstallLocation"), kDefaultFolder.wstring());
  EXPECT_EQ(uninstallValue(L"DisplayVersion"), win32::fromUtf8(TOVALEN_VERSION));
  EXPECT_EQ(uninstallValue(L"UninstallString"), L"\"" + (kDefaultFolder / L"uninstall.exe").wstring() + L"\"");
  EXPECT_THAT(standInLog(), HasSubstr("advfirewall firewall add rule name=\"Tovalen\" dir=in action=allow "
                                      "program=\"C:\\Program Files\\Tovalen\\tovalen.exe\" protocol=UDP "
                                      "localport=5414 profile=any"));
  EXPECT_THAT(standInLog(), HasSubstr("advfirewall firewall add rule name=\"Tovalen\" dir=in action=allow "
                                      "program=\"C:\\Program Files\\Tovalen\\tovalen-cli.exe\" protocol=UDP "
                                      "localport=5414 profile=any"));
  EXPECT_FALSE(uninstallValue(L"CreatedParent")) << "Program Files was there before";

  {
    const ProgramProcess console((kDefaultFolder / L"tovalen-cli.exe").wstring(), L"--help");
    EXPECT_EQ(console.exitCode(), 0u) << "the installed console program answers --help";
  }
  {
    const ProgramProcess program((kDefaultFolder / L"tovalen.exe").wstring());
    HWND window = nullptr;
    ASSERT_TRUE(waitFor([&] { return (window = findDialog(program.id(), L"Tovalen")) != nullptr; }))
        << "the installed program shows no window";
    pressKey(window, VK_ESCAPE);
    EXPECT_EQ(program.exitCode(), 0u);
  }

  fs::remove(kStandInLog);
  uninstallAsWindowsDoes(kDefaultFolder);
  EXPECT_THAT(standInLog(), HasSubstr("advfirewall firewall delete rule name=\"Tovalen\" dir=in "
                                      "program=\"C:\\Program Files\\Tovalen\\tovalen.exe\""));
  EXPECT_THAT(standInLog(), HasSubstr("advfirewall firewall delete rule name=\"Tovalen\" dir=in "
                                      "program=\"C:\\Program Files\\Tovalen\\tovalen-cli.exe\""));
  std::vector<fs::path> left;
  for (const fs::path& path : driveContents())
    if (!before.contains(path)) left.push_back(path);
  // NSIS's uninstaller copy stays in the temporary folder until the next boot.
  std::erase_if(left, [](const fs::path& path) { return path.wstring().find(L"\\Temp\\~nsu") != std::wstring::npos; });
  EXPECT_THAT(left, IsEmpty());
}

TEST_F(InstallerTest, AReinstallRemembersItsFolderAndOneElsewhereKeepsOneCopy) {
  const fs::path made = L"C:\\Apps";
  const fs::path custom = made / L"Tovalen";
  ASSERT_EQ(install(custom), 0u);
  EXPECT_EQ(uninstallValue(L"CreatedParent"), made.wstring());
  ASSERT_EQ(install(), 0u) << "into the folder of the last install";
  EXPECT_EQ(uninstallValue(L"InstallLocation"), custom.wstring());
  EXPECT_EQ(uninstallValue(L"CreatedParent"), made.wstring()) << "what the first install made is not forgotten";
  EXPECT_FALSE(fs::exists(kDefaultFolder));

  ASSERT_EQ(install(kDefaultFolder), 0u);
  EXPECT_EQ(uninstallValue(L"InstallLocation"), kDefaultFolder.wstring());
  EXPECT_TRUE(fs::is_regular_file(kDefaultFolder / L"tovalen.exe"));
  EXPECT_FALSE(fs::exists(made)) << "the first copy is gone, with the folder made for it";
  EXPECT_FALSE(uninstallValue(L"CreatedParent"));
  EXPECT_THAT(standInLog(), HasSubstr("delete rule name=\"Tovalen\" dir=in program=\"C:\\Apps\\Tovalen\\tovalen.exe\""));
  EXPECT_THAT(standInLog(),
              HasSubstr("delete rule name=\"Tovalen\" dir=in program=\"C:\\Apps\\Tovalen\\tovalen-cli.exe\""));
}

TEST_F(InstallerTest, TheUninstallRemovesTheEmptyParentsItsInstallMadeAndNoOthers) {
  const fs::path existing = L"C:\\Site";
  fs::create_directories(existing);
  const fs::path made = existing / L"Cameras";
  const fs::path folder = made / L"Tools" / L"Tovalen";
  ASSERT_EQ(install(folder), 0u);
  EXPECT_TRUE(fs::is_regular_file(folder / L"tovalen.exe"));
  EXPECT_EQ(uninstallValue(L"CreatedParent"), made.wstring());
  uninstallAsWindowsDoes(folder);
  EXPECT_FALSE(fs::exists(made)) << "both folders the install made are gone";
  EXPECT_TRUE(fs::is_directory(existing)) << "the folder that was there stays";

  // A file a user put into a folder the install made keeps that folder, and those above it.
  ASSERT_EQ(install(folder), 0u);
  { std::ofstream(made / L"notes.txt") << "a user's notes"; }
  uninstallAsWindowsDoes(folder);
  EXPECT_FALSE(fs::exists(made / L"Tools"));
  EXPECT_TRUE(fs::is_regular_file(made / L"notes.txt"));
  fs::remove_all(existing);
}

TEST_F(InstallerTest, AFolderUnderAParentOthersMayChangeIsRefusedAndNothingChanges) {
  ASSERT_EQ(install(), 0u);  // the copy a refused install must leave as it is
  const fs::path open = L"C:\\Shared";
  fs::create_directories(open / L"Plain");
  letEveryoneChange(open);
  ASSERT_TRUE(everyoneMayDeleteInside(open)) << "Wine no longer shows an access list from the Unix mode";
  ASSERT_FALSE(everyoneMayDeleteInside(open / L"Plain"));

  // Directly inside it, further down below a folder of its own protection,
  // below a folder the install would make, and in a Tovalen folder made
  // inside it because it holds other files.
  for (const fs::path& folder : {open / L"Tovalen", open / L"Plain" / L"Tovalen", open / L"New" / L"Tovalen", open}) {
    SCOPED_TRACE(folder.string());
    fs::remove(kStandInLog);
    EXPECT_EQ(install(folder), 2u) << "the install is refused";
    EXPECT_FALSE(fs::exists(open / L"Tovalen"));
    EXPECT_FALSE(fs::exists(open / L"Plain" / L"Tovalen"));
    EXPECT_FALSE(fs::exists(open / L"New"));
    EXPECT_EQ(uninstallValue(L"InstallLocation"), kDefaultFolder.wstring());
    EXPECT_TRUE(fs::is_regular_file(kDefaultFolder / L"tovalen.exe"));
    EXPECT_EQ(standInLog(), "") << "no firewall rule was touched";
  }
  uninstallAny();
  fs::remove_all(open);
}

TEST_F(InstallerTest, AFolderAnotherAccountOwnsIsRefusedAsAParentAndAsTheFolderItself) {
  // Made by foreign_folder.sh before Wine started.
  const fs::path foreign = L"C:\\Foreign";
  if (!fs::exists(foreign)) {
    const char* reason = "C:\\Foreign is made only when the tests run as root";
    if (testsupport::underCi()) FAIL() << reason;
    GTEST_SKIP() << reason;
  }
  ASSERT_EQ(ownerOf(foreign), L"S-1-5-7") << "Wine no longer shows another account's folder as Anonymous Logon's";
  ASSERT_FALSE(everyoneMayDeleteInside(foreign)) << "only the owner rule is to refuse it";
  EXPECT_EQ(install(foreign / L"Tovalen"), 2u);
  EXPECT_FALSE(fs::exists(foreign / L"Tovalen"));
  // Empty, it would be the install folder itself, which its owner could
  // have opened for renaming before the installer protected it.
  EXPECT_EQ(install(foreign), 2u);
  EXPECT_FALSE(fs::exists(foreign / L"tovalen.exe"));
  EXPECT_FALSE(uninstallValue(L"InstallLocation"));
}

TEST_F(InstallerTest, AFolderHoldingOtherFilesGetsATovalenFolderAndKeepsItsFiles) {
  const fs::path shared = L"C:\\Tools";
  fs::create_directories(shared);
  { std::ofstream(shared / L"uninstall.exe") << "another product's uninstaller"; }
  ASSERT_EQ(install(shared), 0u);
  const fs::path own = shared / L"Tovalen";
  EXPECT_EQ(uninstallValue(L"InstallLocation"), own.wstring());
  EXPECT_TRUE(fs::is_regular_file(own / L"tovalen.exe"));

  ASSERT_EQ(uninstallInPlace(own), 0u);
  std::ifstream other(shared / L"uninstall.exe");
  std::string text;
  std::getline(other, text);
  EXPECT_EQ(text, "another product's uninstaller");
  other.close();
  fs::remove_all(shared);
}

TEST_F(InstallerTest, NeitherInstallNorUninstallGoesOnWhileEitherProgramRuns) {
  ASSERT_EQ(install(), 0u);
  const fs::path program = kDefaultFolder / L"tovalen.exe";
  const auto programBytes = fs::file_size(program);
  {
    const ProgramProcess running(program.wstring());
    HWND window = nullptr;
    ASSERT_TRUE(waitFor([&] { return (window = findDialog(running.id(), L"Tovalen")) != nullptr; }));
    EXPECT_EQ(uninstallInPlace(kDefaultFolder), 2u) << "the uninstall is refused";
    EXPECT_EQ(install(), 2u) << "the install is refused";
    EXPECT_EQ(fs::file_size(program), programBytes);
    EXPECT_EQ(uninstallValue(L"InstallLocation"), kDefaultFolder.wstring());
    EXPECT_TRUE(fs::exists(kStartMenuEntry));
    pressKey(window, VK_ESCAPE);
    EXPECT_EQ(running.exitCode(), 0u);
  }
  {
    // The console program's search, far longer than the test.
    const ProgramProcess console((kDefaultFolder / L"tovalen-cli.exe").wstring(), L"search --wait 600");
    ASSERT_TRUE(waitFor([] { return processRuns(L"tovalen-cli.exe"); }));
    EXPECT_EQ(uninstallInPlace(kDefaultFolder), 2u) << "nor while the console program runs";
    EXPECT_EQ(install(), 2u);
    EXPECT_TRUE(fs::is_regular_file(kDefaultFolder / L"tovalen-cli.exe"));
    EXPECT_TRUE(fs::is_regular_file(program));
  }
  EXPECT_EQ(uninstallInPlace(kDefaultFolder), 0u);
  EXPECT_FALSE(uninstallValue(L"InstallLocation"));
  EXPECT_FALSE(fs::exists(kDefaultFolder));
}

TEST(InstallerFileTest, ItsPropertiesNameTheProgramItsVersionAndCopyright) {
  const auto properties = fileProperties(installerPath());
  ASSERT_TRUE(properties) << "no version resource";
  EXPECT_EQ(properties->productName, L"Tovalen");
  EXPECT_EQ(properties->productVersion, win32::fromUtf8(TOVALEN_VERSION));
  EXPECT_EQ(properties->copyright, win32::fromUtf8(TOVALEN_COPYRIGHT));
}

}  // namespace
}  // namespace win32test
