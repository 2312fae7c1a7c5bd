// The host folders of the system and thin wrappers over host file calls that
// keep the last error for later reporting. Folder paths that end in '/' are
// meant for file names to be appended directly.
#pragma once
#include <dirent.h>
#include <string>

// Records where the executable lives (called once by start-up).
void SetExecutablePath(const char* argv0);

// Path getters copy into buf (at most size bytes, always terminated).
void GetModuleFilePath(char* buf);  // buf holds at least 1024 bytes
int GetInstallDir(char* buf, unsigned size);  // 1 when the path fitted, else 0 (cut)
int GetDocumentsPath(char* buf, unsigned size);
int GetDatabasesPath(char* buf, unsigned size);
int GetInboxPath(char* buf, unsigned size);
int GetObjectStorePath(char* buf, unsigned size);

// The same folders as strings, for native callers.
namespace HostPaths {
std::string executableDirectory();
std::string bundle();       // ends in '/'
std::string documents();    // ends in '/'
std::string databases();    // ends in '/'
std::string inbox();        // ends in '/'
std::string objectStore();  // no trailing '/'
}  // namespace HostPaths

int Rename(const char* from, const char* to);
int Remove(const char* path);
DIR* Opendir(const char* path);
int Closedir(DIR* dir);
int Mkdir(const char* path);
int& PosixErrno();
const char* Strerror(int err);
