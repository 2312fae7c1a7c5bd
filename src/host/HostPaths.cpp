#include "host/HostPaths.h"
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include "host/Settings.h"

namespace {
std::string executableDir;
int posixError = 0;

std::string withSlash(std::string path) {
  if (!path.empty() && path.back() != '/') path += '/';
  return path;
}

bool isDirectory(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// Copies path into buf; true when it fitted whole.
bool copyOut(const std::string& path, char* buf, unsigned size) {
  if (size == 0) return false;
  std::size_t n = std::min<std::size_t>(path.size(), size - 1);
  std::memcpy(buf, path.data(), n);
  buf[n] = 0;
  return path.size() < size;
}

int keepErrno(int result) {
  if (result != 0) posixError = errno;
  return result;
}
}  // namespace

void SetExecutablePath(const char* argv0) {
  // The kernel's record of the executable also works when argv[0] holds no directory.
  std::error_code error;
  std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
  if (!error) {
    executableDir = withSlash(self.parent_path().string());
    return;
  }
  std::string arg = argv0 ? argv0 : "";
  std::size_t slash = arg.rfind('/');
  executableDir = slash == std::string::npos ? "" : arg.substr(0, slash + 1);
}

namespace HostPaths {
std::string executableDirectory() { return executableDir; }

std::string bundle() {
  // An installed or built tree keeps the bundle in share/quorvane beside bin/.
  if (!executableDir.empty()) {
    std::string beside = executableDir + "../share/quorvane";
    if (isDirectory(beside)) return withSlash(std::filesystem::canonical(beside).string());
  }
  return QUORVANE_BUNDLE_DIR;
}

std::string documents() {
  if (const char* home = std::getenv("QUORVANE_HOME"); home && *home) return withSlash(home);
  const char* user = std::getenv("HOME");
  if (!user || !*user) return "";
  return withSlash(std::string(user) + "/.local/share/quorvane");
}

std::string databases() {
  std::string docs = documents();
  return Settings::getBool("QuorvaneSeparateDBSubdir", false) ? docs + "db/" : docs;
}

std::string inbox() { return bundle() + "inbox/"; }

std::string objectStore() {
  std::string docs = documents();
  if (!Settings::getBool("QuorvaneVFSVirtualCard", true)) return docs.empty() ? docs : docs.substr(0, docs.size() - 1);
  return docs + "VirtualCard";
}
}  // namespace HostPaths

void GetModuleFilePath(char* buf) { copyOut(HostPaths::bundle(), buf, 1024); }
int GetInstallDir(char* buf, unsigned size) { return copyOut(HostPaths::bundle(), buf, size) ? 1 : 0; }
int GetDocumentsPath(char* buf, unsigned size) { return copyOut(HostPaths::documents(), buf, size), 1; }
int GetDatabasesPath(char* buf, unsigned size) { return copyOut(HostPaths::databases(), buf, size), 1; }
int GetInboxPath(char* buf, unsigned size) { return copyOut(HostPaths::inbox(), buf, size), 1; }
int GetObjectStorePath(char* buf, unsigned size) { return copyOut(HostPaths::objectStore(), buf, size), 1; }

int Rename(const char* from, const char* to) { return keepErrno(std::rename(from, to)) == 0 ? 0 : 1; }
int Remove(const char* path) { return keepErrno(std::remove(path)) == 0 ? 0 : 1; }

DIR* Opendir(const char* path) {
  DIR* dir = opendir(path);
  if (!dir) posixError = errno;
  return dir;
}

int Closedir(DIR* dir) { return dir ? closedir(dir) : -1; }
int Mkdir(const char* path) { return keepErrno(mkdir(path, 0777)); }
int& PosixErrno() { return posixError; }
const char* Strerror(int err) { return std::strerror(err); }
