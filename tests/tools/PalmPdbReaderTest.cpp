// Databases made by our writer and by quorvane-prc, read back by an
// independent reader: Debian's libpalm-perl (Palm::PDB with Palm::Raw).
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "palm/Endian.h"
#include "palm/FourCC.h"
#include "palm/PdbFormat.h"
#include "prc/ElfImage.h"
#include "support/PalmApps.h"
#include "support/SharedData.h"

namespace {

std::string hex(const std::vector<UInt8>& bytes) {
  static const char* digits = "0123456789abcdef";
  std::string s;
  for (UInt8 b : bytes) {
    s += digits[b >> 4];
    s += digits[b & 15];
  }
  return s;
}

// The listing of tests/tools/list_pdb.pl, one string per line. Palm::PDB's
// warnings (it warns about empty records sharing an offset) go to stderr and
// are not part of the listing.
std::vector<std::string> perlListing(const std::filesystem::path& file) {
  const std::string script = std::string(QUORVANE_SOURCE_DIR) + "/tests/tools/list_pdb.pl";
  const std::string command = "perl '" + script + "' '" + file.string() + "' 2>/dev/null";
  std::vector<std::string> lines;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) {
    ADD_FAILURE() << "cannot run " << command;
    return lines;
  }
  std::string current;
  for (int c; (c = std::fgetc(pipe)) != EOF;) {
    if (c == '\n') {
      lines.push_back(current);
      current.clear();
    } else {
      current += static_cast<char>(c);
    }
  }
  EXPECT_EQ(pclose(pipe), 0) << "perl failed; run by hand: " << command;
  return lines;
}

std::string resourceLine(const char* type, int id, const std::vector<UInt8>& data) {
  return std::string("resource ") + type + " " + std::to_string(id) + " " + std::to_string(data.size()) + " " +
         hex(data);
}

std::string fourCCString(UInt32 v) { return {char(v >> 24), char(v >> 16), char(v >> 8), char(v)}; }

// Palm::PDB gives a deleted or busy record no category (listed as 0).
int category(UInt8 attributes) { return (attributes & 0xA0) ? 0 : attributes & 0x0F; }

// Our reader's listing of a database in the format of list_pdb.pl.
std::vector<std::string> ourListing(const PdbDatabase& db) {
  std::vector<std::string> lines = {
      "name " + db.name,
      "type " + fourCCString(db.type),
      "creator " + fourCCString(db.creator),
      std::string("resource-database ") + (db.isResourceDatabase() ? "1" : "0"),
      "version " + std::to_string(db.version),
  };
  for (const PdbResource& r : db.resources) lines.push_back(resourceLine(fourCCString(r.type).c_str(), r.id, r.data));
  if (db.isResourceDatabase()) return lines;
  lines.push_back("appinfo " + hex(db.appInfo));
  for (const PdbRecord& r : db.records)
    lines.push_back("record " + std::to_string(r.uniqueID) + " " + std::to_string(category(r.attributes)) + " " +
                    std::to_string(r.data.size()) + " " + hex(r.data));
  return lines;
}

TEST(PalmPdbReader, EveryRealFileReadsAsPalmPdbReadsIt) {
  for (const char* folder : {"testapps/apps", "testapps/data"}) {
    for (const auto& entry : std::filesystem::directory_iterator(SharedDataPath(folder))) {
      SCOPED_TRACE(entry.path().string());
      PdbDatabase db;
      std::string error;
      ASSERT_TRUE(ReadPdbImage(ReadFileBytes(entry.path()), db, error)) << error;
      EXPECT_EQ(ourListing(db), perlListing(entry.path()));
    }
  }
}

TEST(PalmPdbReader, ListsTheBuiltApplicationExactly) {
  const std::vector<UInt8> elfFile = ReadFileBytes(PalmAppsPath("StartupProbe.elf"));
  const std::vector<std::string> lines = perlListing(PalmAppsPath("StartupProbe.prc"));
  ElfImage elf;
  std::string error;
  ASSERT_TRUE(elf.load(elfFile, error)) << error;

  // What the link says 'code' 0, 'code' 1 and 'pref' 0 must hold.
  const UInt32 a5 = *elf.symbolValue("__a5");
  std::vector<UInt8> code0(16, 0);
  const UInt32 above = elf.section(".got")->size, below = a5 - elf.section(".data")->address;
  set32(&code0[0], above);
  set32(&code0[4], below);
  const std::vector<UInt8> greeting = ReadFileBytes(std::string(QUORVANE_SOURCE_DIR) + "/apps/tests/Greeting.txt");

  // 'data' 0 as our own reader sees it: both readers must agree on it.
  PdbDatabase db;
  ASSERT_TRUE(ReadPdbImage(ReadFileBytes(PalmAppsPath("StartupProbe.prc")), db, error)) << error;
  ASSERT_EQ(db.resources.size(), 5u);

  const std::vector<std::string> expected = {
      "name StartupProbe",
      "type appl",
      "creator QvSp",
      "resource-database 1",
      "version 1",
      resourceLine("code", 0, code0),
      resourceLine("code", 1, elf.section(".text")->bytes),
      resourceLine("data", 0, db.resources[2].data),
      resourceLine("pref", 0, {0x00, 0x1E, 0x00, 0x00, 0x10, 0x00, 0x00, 0x00, 0x10, 0x00}),
      resourceLine("tSTR", 1000, greeting),
  };
  EXPECT_EQ(lines, expected);
}

TEST(PalmPdbReader, ListsARecordDatabaseFromOurWriter) {
  PdbDatabase db;
  db.name = "Quorvane Records";
  db.version = 3;
  db.type = fourCC("DATA");
  db.creator = fourCC("QvTs");
  db.appInfo = {0xA1, 0xB2, 0xC3};
  db.records.push_back({0x42, 0x123456, {1, 2, 3, 4}});
  db.records.push_back({0x00, 0x000002, {}});
  db.records.push_back({0x0F, 0xFFFFFF, {0xFF}});
  std::vector<UInt8> image;
  std::string error;
  ASSERT_TRUE(WritePdbImage(db, image, error)) << error;
  const std::filesystem::path file = std::filesystem::path(QUORVANE_TEST_BINARY_DIR) / "records-for-perl.pdb";
  std::ofstream(file, std::ios::binary)
      .write(reinterpret_cast<const char*>(image.data()), std::streamsize(image.size()));

  const std::vector<std::string> expected = {
      "name Quorvane Records",       "type DATA",     "creator QvTs",
      "resource-database 0",         "version 3",     "appinfo a1b2c3",
      "record 1193046 2 4 01020304", "record 2 0 0 ", "record 16777215 15 1 ff",
  };
  EXPECT_EQ(perlListing(file), expected);
  std::filesystem::remove(file);
}

}  // namespace
