// Helpers for tests of database images: the shared real files, Palm::PDB's
// view of a file, and the same view of a database in memory.
#pragma once
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "storage/DataMgrPrivate.h"
#include "storage/memorymgr.h"
#include "support/SharedData.h"

namespace fs = std::filesystem;

inline std::vector<UInt8> readWholeFile(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void writeWholeFile(const fs::path& p, const std::vector<UInt8>& bytes) {
  std::ofstream out(p, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// Every .pdb and .prc of the shared test material.
inline std::vector<fs::path> realDatabaseFiles() {
  std::vector<fs::path> files;
  for (const char* folder : {"testapps/apps", "testapps/data"})
    for (const auto& entry : fs::directory_iterator(SharedDataPath(folder))) files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  return files;
}

// A scratch folder of this test binary, emptied.
inline fs::path scratchFolder(const std::string& name) {
  fs::path p = fs::path(QUORVANE_TEST_BINARY_DIR) / "scratch" / name;
  fs::remove_all(p);
  fs::create_directories(p);
  return p;
}

// What Debian's Palm::PDB reads from a file.
inline std::string palmPdbDump(const fs::path& file) {
  std::string command = "perl '" QUORVANE_SOURCE_DIR "/tests/storage/tools/pdbdump.pl' '" + file.string() + "'";
  std::string out;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, pipe)) > 0) out.append(buf, n);
    pclose(pipe);
  }
  return out;
}

inline std::string hexOf(const void* p, UInt32 n) {
  static const char* digits = "0123456789abcdef";
  std::string s;
  auto* b = static_cast<const UInt8*>(p);
  for (UInt32 i = 0; i < n; ++i) {
    s += digits[b[i] >> 4];
    s += digits[b[i] & 15];
  }
  return s;
}

inline std::string chunkHex(LocalID id) {
  void* p = GetPtrWithoutLocking(id);
  return p ? hexOf(p, MemPtrSize(p)) : "";
}

// The same lines for a database in memory.
inline std::string memoryDump(LocalID dbID) {
  UInt8* h = databaseHeader(dbID);
  char line[256];
  std::string out = "name=" + std::string(DbHdr::name(h)) + "\n";
  auto fourcc = [](UInt32 v) { return std::string{char(v >> 24), char(v >> 16), char(v >> 8), char(v)}; };
  std::snprintf(line, sizeof line, "attributes=%04x version=%u type=%s creator=%s\n", DbHdr::attributes(h) & 0x0FFF,
                get16(h + DbHdr::kVersion), fourcc(DbHdr::type(h)).c_str(), fourcc(DbHdr::creator(h)).c_str());
  out += line;
  std::snprintf(line, sizeof line, "dates=%u/%u/%u modnum=%u seed=%u\n", get32(h + DbHdr::kCreationDate),
                get32(h + DbHdr::kModificationDate), get32(h + DbHdr::kLastBackupDate),
                get32(h + DbHdr::kModificationNumber), get32(h + DbHdr::kUniqueIDSeed));
  out += line;
  out += "appinfo=" + chunkHex(get32(h + DbHdr::kAppInfoID)) + "\n";
  out += "sortinfo=" + chunkHex(get32(h + DbHdr::kSortInfoID)) + "\n";
  bool res = DbHdr::isResourceDB(h);
  forEachEntry(h, [&](UInt8* e) {
    if (res) {
      std::snprintf(line, sizeof line, "resource type=%s id=%u data=", fourcc(get32(e)).c_str(), get16(e + 4));
    } else {
      UInt8 a = RecEntry::attributes(e);
      UInt8 shown = (a & 0xD0) | ((a & 0xA0) ? (a & 0x08) : (a & 0x0F));
      std::snprintf(line, sizeof line, "record id=%u attr=%02x data=", RecEntry::uniqueID(e), shown);
    }
    out += line + chunkHex(entryChunkID(e, res)) + "\n";
  });
  return out;
}
