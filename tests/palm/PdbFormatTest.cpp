// The PDB/PRC writer and reader: layout of what is written, round trips, and
// refusal of images whose offsets lead outside the image.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "palm/Endian.h"
#include "palm/FourCC.h"
#include "palm/PdbFormat.h"

namespace {

PdbDatabase resourceDatabase() {
  PdbDatabase db;
  db.name = "Resources";
  db.attributes = PdbFormat::dmHdrAttrResDB | PdbFormat::dmHdrAttrDirty | PdbFormat::dmHdrAttrOpen;
  db.type = fourCC("appl");
  db.creator = fourCC("QvTs");
  db.resources.push_back({fourCC("code"), 1, {1, 2, 3}});
  db.resources.push_back({fourCC("tSTR"), 1000, {}});
  db.resources.push_back({fourCC("data"), 0, {9}});
  return db;
}

TEST(PdbFormat, WritesHeaderEntriesPadAndBlocksInOrder) {
  std::vector<UInt8> image;
  std::string error;
  ASSERT_TRUE(WritePdbImage(resourceDatabase(), image, error)) << error;
  ASSERT_EQ(image.size(), 78u + 3 * 10 + 2 + 4);
  EXPECT_EQ(get16(&image[PdbFormat::kAttributes]), PdbFormat::dmHdrAttrResDB) << "open and dirty never leave memory";
  EXPECT_EQ(get16(&image[PdbFormat::kNumRecords]), 3);
  const std::size_t first = 78 + 30 + 2;
  EXPECT_EQ(get32(&image[78 + 6]), first);
  EXPECT_EQ(get32(&image[88 + 6]), first + 3) << "an empty resource takes the next offset";
  EXPECT_EQ(get32(&image[98 + 6]), first + 3);
  EXPECT_EQ(get16(&image[108]), 0) << "pad";
  EXPECT_EQ(image.back(), 9);
}

TEST(PdbFormat, EmptyDatabaseIsEightyBytes) {
  PdbDatabase db;
  db.name = "Empty";
  std::vector<UInt8> image;
  std::string error;
  ASSERT_TRUE(WritePdbImage(db, image, error));
  EXPECT_EQ(image.size(), 80u);
}

TEST(PdbFormat, RoundTripsResourcesAndRecords) {
  std::vector<UInt8> image;
  std::string error;
  PdbDatabase read;
  ASSERT_TRUE(WritePdbImage(resourceDatabase(), image, error));
  ASSERT_TRUE(ReadPdbImage(image, read, error)) << error;
  ASSERT_EQ(read.resources.size(), 3u);
  EXPECT_EQ(read.name, "Resources");
  EXPECT_EQ(read.resources[0].data, (std::vector<UInt8>{1, 2, 3}));
  EXPECT_TRUE(read.resources[1].data.empty());
  EXPECT_EQ(read.resources[1].id, 1000);
  EXPECT_EQ(read.resources[2].data, (std::vector<UInt8>{9}));

  PdbDatabase records;
  records.name = "Records";
  records.appInfo = {7, 7};
  records.sortInfo = {8};
  records.records.push_back({0x40, 0xABCDEF, {1}});
  records.records.push_back({0x01, 2, {2, 2}});
  ASSERT_TRUE(WritePdbImage(records, image, error));
  ASSERT_TRUE(ReadPdbImage(image, read, error)) << error;
  EXPECT_EQ(read.appInfo, (std::vector<UInt8>{7, 7}));
  EXPECT_EQ(read.sortInfo, (std::vector<UInt8>{8}));
  ASSERT_EQ(read.records.size(), 2u);
  EXPECT_EQ(read.records[0].uniqueID, 0xABCDEFu);
  EXPECT_EQ(read.records[0].attributes, 0x40);
  EXPECT_EQ(read.records[1].data, (std::vector<UInt8>{2, 2}));
}

TEST(PdbFormat, WriterRefusesWhatTheLayoutCannotHold) {
  std::vector<UInt8> image;
  std::string error;
  PdbDatabase db = resourceDatabase();
  db.name = std::string(32, 'x');
  EXPECT_FALSE(WritePdbImage(db, image, error));
  db.name = "";
  EXPECT_FALSE(WritePdbImage(db, image, error));
  PdbDatabase records;
  records.name = "Records";
  records.records.push_back({0, 0x1000000, {}});
  EXPECT_FALSE(WritePdbImage(records, image, error));
}

TEST(PdbFormat, ReaderRefusesOffsetsOutsideTheImage) {
  std::vector<UInt8> image;
  std::string error;
  PdbDatabase read;
  ASSERT_TRUE(WritePdbImage(resourceDatabase(), image, error));
  EXPECT_FALSE(ReadPdbImage(std::vector<UInt8>(image.begin(), image.begin() + 77), read, error));
  EXPECT_FALSE(ReadPdbImage(std::vector<UInt8>(image.begin(), image.begin() + 100), read, error));

  std::vector<UInt8> bad = image;
  set32(&bad[78 + 6], 0x7FFFFFFF);
  EXPECT_FALSE(ReadPdbImage(bad, read, error));
  bad = image;
  set32(&bad[98 + 6], 78 + 30 + 1);  // before the previous block
  EXPECT_FALSE(ReadPdbImage(bad, read, error));
  bad = image;
  set32(&bad[78 + 6], 20);  // inside the header
  EXPECT_FALSE(ReadPdbImage(bad, read, error));
}

TEST(PdbFormat, ReaderRefusesANameWithoutEndOrWithoutCharacters) {
  std::vector<UInt8> image;
  std::string error;
  PdbDatabase read;
  ASSERT_TRUE(WritePdbImage(resourceDatabase(), image, error));
  std::vector<UInt8> bad = image;
  std::fill(bad.begin(), bad.begin() + PdbFormat::kNameSize, 'x');
  EXPECT_FALSE(ReadPdbImage(bad, read, error)) << "no NUL in the 32 bytes";
  bad = image;
  bad[0] = 0;
  EXPECT_FALSE(ReadPdbImage(bad, read, error)) << "empty name";
  bad = image;
  bad[20] = 'x';
  ASSERT_TRUE(ReadPdbImage(bad, read, error)) << "bytes after the NUL are not part of the name";
  EXPECT_EQ(read.name, "Resources");
}

}  // namespace
