#include "storage/loadsavedatabases.h"

#include <dirent.h>
#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "host/Reporting.h"
#include "palm/ErrorCodes.h"
#include "storage/DataMgrPrivate.h"
#include "storage/DatabaseFiles.h"
#include "storage/EncodedFileName.h"
#include "storage/memorymgr.h"
#include "storage/quorvanefile.h"

namespace {
std::string folder;
constexpr const char* kTemporaryExtension = ".tmp";

std::string databasePath(const Char* name, UInt16 attributes, UInt16 version, UInt32 creator, UInt32 type) {
  std::string path = folder;
  FormEncodedFileName(name, attributes, version, creator, type, path);
  return path;
}

std::string pathOf(const UInt8* hdr) {
  return databasePath(DbHdr::name(hdr), DbHdr::attributes(hdr) & ~dmHdrAttrStub, get16(hdr + DbHdr::kVersion),
                      DbHdr::creator(hdr), DbHdr::type(hdr));
}

std::string backupPath(const Char* name) {
  std::string path = folder;
  FormBackupFileName(name, path);
  return path;
}

bool exists(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0;
}

Err ReadFile(void* dataP, UInt32* sizeP, void* file) {
  auto* f = static_cast<FILE*>(file);
  size_t n = std::fread(dataP, 1, *sizeP, f);
  bool failed = n < *sizeP && std::ferror(f);
  *sizeP = static_cast<UInt32>(n);
  return failed ? exgErrBadData : errNone;
}

Err WriteFile(const void* dataP, UInt32* sizeP, void* file) {
  size_t n = std::fwrite(dataP, 1, *sizeP, static_cast<FILE*>(file));
  bool failed = n < *sizeP;
  *sizeP = static_cast<UInt32>(n);
  return failed ? exgErrBadData : errNone;
}

// Makes a rename or removal in the folder itself durable.
void syncFolder() {
  int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
  if (fd >= 0) {
    ::fsync(fd);
    ::close(fd);
  }
}

// Writes the database's image to path, flushed to the disk; false on any failure.
bool writeImage(const std::string& path, UInt16 cardNo, LocalID dbID) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) {
    WarningF("Save database to file: Cannot open file %s", path.c_str());
    return false;
  }
  Err err = WriteDatabaseToStream(WriteFile, f, dbID, cardNo);
  bool ok = !err && std::fflush(f) == 0 && ::fsync(fileno(f)) == 0;
  ok = std::fclose(f) == 0 && ok;
  if (!ok) {
    WarningF("Save database to file: Cannot write file %s", path.c_str());
    std::remove(path.c_str());
  }
  return ok;
}

bool loadFrom(const std::string& path, UInt16 cardNo, LocalID dbID) {
  FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return false;
  Err err = CreateOrLoadDatabaseFromStream(dbID, ReadFile, nullptr, f, nullptr, cardNo, nullptr, 1);
  std::fclose(f);
  if (err) WarningF("Load file into memory: Error parsing file %s", path.c_str());
  return err == errNone;
}

bool endsWith(const std::string& s, const char* suffix) {
  size_t n = std::strlen(suffix);
  return s.size() >= n && strcasecmp(s.c_str() + s.size() - n, suffix) == 0;
}

std::vector<std::string> folderFiles() {
  std::vector<std::string> names;
  if (DIR* dir = ::opendir(folder.c_str())) {
    while (dirent* e = ::readdir(dir)) {
      std::string name = e->d_name;
      struct stat st;
      if (::stat((folder + name).c_str(), &st) == 0 && S_ISREG(st.st_mode)) names.push_back(name);
    }
    ::closedir(dir);
  }
  std::sort(names.begin(), names.end());
  return names;
}

// The first bytes of a database file: its name and the fields of its file name.
bool readImageHeader(const std::string& path, UInt8* header, UInt32 bytes) {
  FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return false;
  bool ok = std::fread(header, 1, bytes, f) == bytes;
  std::fclose(f);
  return ok && std::memchr(header, 0, dmDBNameLength) != nullptr;
}

// Whether the file holds a whole, readable image.
bool fileIsWholeImage(const std::string& path) {
  FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return false;
  std::vector<UInt8> image;
  UInt8 buf[4096];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0 && image.size() < kMaxImageSize)
    image.insert(image.end(), buf, buf + n);
  std::fclose(f);
  return ImageIsWhole(image.data(), static_cast<UInt32>(image.size()));
}

// Moves from to to unless to exists; the data is never overwritten.
bool renameWithoutReplacing(const std::string& from, const std::string& to) {
  if (::link(from.c_str(), to.c_str()) != 0) return false;
  ::unlink(from.c_str());
  syncFolder();
  return true;
}

void registerFile(const std::string& name) {
  Char dbName[dmDBNameLength];
  UInt16 attributes, version;
  UInt32 creator, type;
  if (!DecodeEncodedFileName(name.c_str(), dbName, &attributes, &version, &creator, &type)) {
    WarningF("CreateDatabaseDirectoryEntries: Invalid filename %s", name.c_str());
    return;
  }
  if (CreateDatabaseStub(0, dbName, attributes, version, creator, type))
    WarningF("CreateDatabaseDirectoryEntries: Cannot create stub for %s", name.c_str());
}

// A save interrupted before its rename: the database file, if there is one,
// was never touched and stays; a whole image without one (the first save of
// a new database) becomes the database file. Being the only copy, an image
// that cannot take that name is kept for a later start.
void finishInterruptedSave(const std::string& name) {
  std::string path = folder + name;
  std::string target = path.substr(0, path.size() - std::strlen(kTemporaryExtension));
  if (exists(target) || !fileIsWholeImage(path)) {
    std::remove(path.c_str());
    return;
  }
  if (!renameWithoutReplacing(path, target))
    WarningF("CreateDatabaseDirectoryEntries: %s. Cannot finish saving %s; it is kept", std::strerror(errno),
             name.c_str());
}

// A backup whose database has no file left is the database: it takes the
// database file's name back.
void recoverOrphanBackup(const std::string& name) {
  UInt8 header[PdbFormat::kHeaderSize];
  std::string path = folder + name;
  if (!readImageHeader(path, header, sizeof header)) return;
  const Char* dbName = reinterpret_cast<const Char*>(header);
  if (DmFindDatabase(0, dbName) || backupPath(dbName) != path) return;
  std::string target = databasePath(dbName, get16(header + DbHdr::kAttributes), get16(header + DbHdr::kVersion),
                                    get32(header + DbHdr::kCreator), get32(header + DbHdr::kType));
  if (!renameWithoutReplacing(path, target)) {
    WarningF("CreateDatabaseDirectoryEntries: Cannot restore backup %s", name.c_str());
    return;
  }
  WarningF("CreateDatabaseDirectoryEntries: Restored %s from its backup", dbName);
  registerFile(target.substr(folder.size()));
}
}  // namespace

void InstallDatabaseFiles(const std::string& databasesFolder) {
  folder = databasesFolder;
  if (!folder.empty() && folder.back() != '/') folder += '/';
  setDatabaseFileOps(
      {SaveDatabaseToFileNow, DeleteDatabaseFileNow, LoadDatabaseFromFile, RefreshDatabaseDatesFromFile});
}

const std::string& DatabasesFolder() { return folder; }

Boolean SaveDatabaseToFileNow(UInt16 cardNo, LocalID dbID, UInt8 backup) {
  const UInt8* hdr = databaseHeader(dbID);
  if (!hdr) {
    WarningF("SaveDatabaseToFile: Failed to lock database header");
    return false;
  }
  std::string path = pathOf(hdr);
  std::string bak = backupPath(DbHdr::name(hdr));
  std::string temporary = path + kTemporaryExtension;
  if (!writeImage(temporary, cardNo, dbID)) return false;
  bool backedUp = false;
  if (backup && exists(path)) {
    std::remove(bak.c_str());
    backedUp = std::rename(path.c_str(), bak.c_str()) == 0;
  }
  if (std::rename(temporary.c_str(), path.c_str()) != 0) {
    WarningF("Save database to file: Cannot write file %s", path.c_str());
    std::remove(temporary.c_str());
    if (backedUp) std::rename(bak.c_str(), path.c_str());
    return false;
  }
  if (backedUp) std::remove(bak.c_str());
  syncFolder();
  return true;
}

Boolean DeleteDatabaseFileNow(const Char* name, UInt16 attributes, UInt16 version, UInt32 creator, UInt32 type) {
  std::string path = databasePath(name, attributes, version, creator, type);
  if (std::remove(path.c_str()) != 0 && errno != ENOENT) return false;
  std::remove(backupPath(name).c_str());
  syncFolder();
  return true;
}

Boolean LoadDatabaseFromFile(UInt16 cardNo, LocalID dbID) {
  const UInt8* hdr = databaseHeader(dbID);
  if (!hdr) {
    WarningF("DatabaseLoaded: Failed to lock database header");
    return false;
  }
  if (!(DbHdr::attributes(hdr) & dmHdrAttrStub)) return true;
  std::string path = pathOf(hdr);
  std::string bak = backupPath(DbHdr::name(hdr));
  if (loadFrom(path, cardNo, dbID)) return true;
  if (!exists(bak)) {
    if (!exists(path)) WarningF("Load file into memory: Error opening file %s", path.c_str());
    return false;
  }
  if (!loadFrom(bak, cardNo, dbID)) {
    WarningF("Invalid backup file: %s", bak.c_str());
    return false;
  }
  // The backup becomes the database file again; it goes only once that is written.
  if (SaveDatabaseToFileNow(cardNo, dbID, 0))
    std::remove(bak.c_str());
  else
    WarningF("Failed to restore backup: %s", bak.c_str());
  return true;
}

Boolean RefreshDatabaseDatesFromFile(void* header) {
  auto* hdr = static_cast<UInt8*>(header);
  if (!(DbHdr::attributes(hdr) & dmHdrAttrStub)) return true;
  UInt8 image[72];
  std::string path = pathOf(hdr);
  FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) {
    WarningF("RefreshDatabaseDates: Error opening file %s", path.c_str());
    return false;
  }
  bool ok = std::fread(image, 1, sizeof image, f) == sizeof image;
  std::fclose(f);
  if (ok) std::memcpy(hdr + DbHdr::kCreationDate, image + DbHdr::kCreationDate, 16);
  return ok;
}

Err CreateDatabaseStub(UInt16 cardNo, const Char* name, UInt16 attributes, UInt16 version, UInt32 creator,
                       UInt32 type) {
  UInt8* hdr = nullptr;
  if (Err err = CreateDatabase(cardNo, name, creator, type, attributes & dmHdrAttrResDB, 0, &hdr, nullptr)) return err;
  DbHdr::setAttributes(hdr,
                       static_cast<UInt16>(((attributes & kFileNameAttributes) & ~dmHdrAttrDirty) | dmHdrAttrStub));
  set16(hdr + DbHdr::kVersion, version);
  if (MemPtrUnlock(hdr)) WarningF("datamgr - DmCreateDatabase warning: database unlock failed");
  return errNone;
}

void RenameDatabaseFile(const Char* fileName, const Char* directory) {
  std::string path = std::string(directory) + fileName;
  UInt8 header[PdbFormat::kHeaderSize];
  // A file that cannot be read whole must not replace the database of its name.
  if (!readImageHeader(path, header, sizeof header) || !fileIsWholeImage(path)) {
    WarningF("RenameDatabaseFile: Cannot read file %s", fileName);
    return;
  }
  const Char* name = reinterpret_cast<const Char*>(header);
  UInt16 attributes = get16(header + DbHdr::kAttributes);
  UInt16 version = get16(header + DbHdr::kVersion);
  UInt32 creator = get32(header + DbHdr::kCreator);
  UInt32 type = get32(header + DbHdr::kType);
  if (LocalID existing = DmFindDatabase(0, name)) {
    if (DmDeleteDatabase(0, existing)) WarningF("RenameDatabaseFile: Failed to delete existing database.");
  }
  std::string target = std::string(directory);
  FormEncodedFileName(name, attributes, version, creator, type, target);
  // An existing file of that name is a database still registered: both stay.
  if (!renameWithoutReplacing(path, target)) {
    WarningF("RenameDatabaseFile: %s. Cannot rename %s", std::strerror(errno), fileName);
    return;
  }
  if (CreateDatabaseStub(0, name, attributes, version, creator, type))
    WarningF("RenameDatabaseFile: Cannot create stub for %s", fileName);
}

void CreateDatabaseDirectoryEntries() {
  std::vector<std::string> names = folderFiles();
  for (const std::string& name : names)
    if (endsWith(name, ".qvn.tmp")) finishInterruptedSave(name);
  for (const std::string& name : folderFiles())
    if (endsWith(name, kDatabaseFileExtension)) registerFile(name);
  for (const std::string& name : names)
    if (endsWith(name, kBackupFileExtension)) recoverOrphanBackup(name);
  for (const std::string& name : names)
    if (endsWith(name, ".pdb") || endsWith(name, ".prc")) RenameDatabaseFile(name.c_str(), folder.c_str());
}

Err DatabaseFlush(DmOpenRef ref) {
  if (!ValidAccessPtr(ref)) return 2;
  UInt8* info = Access::openInfo(static_cast<UInt8*>(ref));
  if (DbHdr::attributes(OpenInfo::header(info)) & dmHdrAttrDirty)
    SaveDatabaseNow(OpenInfo::cardNo(info), OpenInfo::hdrID(info));
  return errNone;
}

Err DatabaseFlushAll() {
  for (EmuAddr a = GetDmAccessList(); a; a = get32(fromEmu(a)))
    if (Err err = DatabaseFlush(fromEmu(a))) return err;
  return errNone;
}

void FlushDatabasesWhenIdle() {
  if (dmGlobals().flushWhenIdle) DatabaseFlushAll();
}

UInt8 SetDatabaseIdleFlush(UInt8 flag) {
  UInt8 previous = dmGlobals().flushWhenIdle;
  dmGlobals().flushWhenIdle = flag;
  return previous;
}

Boolean SaveDatabasesToFiles(const Char*) {
  while (DmOpenRef ref = DmNextOpenDatabase(nullptr)) {
    if (DmCloseDatabase(ref)) {
      WarningF("SaveDatabasesToFiles: Failed to close database");
      break;
    }
  }
  Boolean all = true;
  UInt16 n = DmNumDatabases(0);
  for (UInt16 i = 0; i < n; ++i) {
    LocalID id = DmGetDatabase(0, i);
    const UInt8* hdr = databaseHeader(id);
    if (hdr && (DbHdr::attributes(hdr) & dmHdrAttrDirty) && !SaveDatabaseNow(0, id)) {
      WarningF("SaveDatabasesToFiles: %s could not be written", DbHdr::name(hdr));
      all = false;
    }
  }
  return all;
}
