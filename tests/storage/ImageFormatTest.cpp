#include <random>

#include "DataMgrFixture.h"
#include "ImageSupport.h"
#include "storage/quorvanefile.h"

namespace {
using ImageFormat = DataMgrFixture;

Err appendToVector(const void* data, UInt32* sizeP, void* user) {
  auto* out = static_cast<std::vector<UInt8>*>(user);
  auto* b = static_cast<const UInt8*>(data);
  out->insert(out->end(), b, b + *sizeP);
  return errNone;
}

std::vector<UInt8> imageOf(LocalID dbID) {
  std::vector<UInt8> out;
  EXPECT_EQ(WriteDatabaseToStream(appendToVector, &out, dbID, 0), errNone);
  return out;
}

LocalID load(const std::vector<UInt8>& bytes, Err expected = errNone) {
  LocalID id = 0;
  EXPECT_EQ(CreateOrLoadDatabaseFromImage(0, bytes.data(), static_cast<UInt32>(bytes.size()), nullptr, nullptr, &id, 0,
                                          nullptr),
            expected);
  return id;
}

TEST_F(ImageFormat, EveryRealFileLoadsAsPalmPdbReadsItAndWritesBackTheSame) {
  fs::path scratch = scratchFolder("images");
  auto files = realDatabaseFiles();
  ASSERT_GE(files.size(), 30u);
  for (const fs::path& file : files) {
    SCOPED_TRACE(file.filename().string());
    std::string expected = palmPdbDump(file);
    ASSERT_FALSE(expected.empty()) << "Palm::PDB could not read the file";
    LocalID id = load(readWholeFile(file));
    ASSERT_NE(id, 0u);
    EXPECT_EQ(memoryDump(id), expected);
    EXPECT_FALSE(attributes(id) & (dmHdrAttrStub | dmHdrAttrOpen));
    EXPECT_TRUE(attributes(id) & dmHdrAttrDirty) << "no file holds it yet";
    fs::path written = scratch / file.filename();
    writeWholeFile(written, imageOf(id));
    EXPECT_EQ(palmPdbDump(written), expected);
    ASSERT_EQ(DmDeleteDatabase(0, id), errNone);
  }
}

TEST_F(ImageFormat, TrickyImagesWrittenByUsAreReadByPalmPdbAsIntended) {
  fs::path scratch = scratchFolder("tricky");
  LocalID empty = create("Empty");
  EXPECT_EQ(imageOf(empty).size(), 80u) << "header and the two pad bytes";

  LocalID id = create("Tricky", fourCC("DATA"), fourCC("tRik"));
  DmOpenRef db = DmOpenDatabase(0, id, dmModeReadWrite);
  std::vector<UInt8> big(70000);
  for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<UInt8>(i * 7);
  UInt16 at = 0;
  MemHandle h = DmNewRecord(db, &at, static_cast<UInt32>(big.size()));
  DmWrite(MemHandleLock(h), 0, big.data(), static_cast<UInt32>(big.size()));
  MemHandleUnlock(h);
  DmReleaseRecord(db, 0, true);
  for (UInt32 size : {65535u, 65536u, 65537u}) {  // around the 64 KB boundary
    UInt16 end = dmMaxRecordIndex;
    MemHandle r = DmNewRecord(db, &end, size);
    DmWrite(MemHandleLock(r), size - 1, "\x5A", 1);
    MemHandleUnlock(r);
    DmReleaseRecord(db, end, false);
  }
  addRecord(db, "second", 3);
  addRecord(db, "secret", 5 | dmRecAttrSecret);
  addRecord(db, "deleted");
  DmDeleteRecord(db, 6);
  addRecord(db, "archived");
  DmArchiveRecord(db, 7);
  for (const char* info : {"app info block", "sort info"}) {
    MemHandle block = DmNewHandle(db, static_cast<UInt32>(std::strlen(info)));
    DmWrite(MemHandleLock(block), 0, info, static_cast<UInt32>(std::strlen(info)));
    MemHandleUnlock(block);
    LocalID blockID = MemHandleToLocalID(block);
    bool app = info[0] == 'a';
    DmSetDatabaseInfo(0, id, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, app ? &blockID : nullptr,
                      app ? nullptr : &blockID, nullptr, nullptr);
  }
  DmGetRecord(db, 4);  // busy: written without the busy bit
  std::vector<UInt8> image = imageOf(id);
  DmReleaseRecord(db, 4, false);
  DmCloseDatabase(db);
  std::string expected = memoryDump(id);

  writeWholeFile(scratch / "tricky.pdb", image);
  EXPECT_EQ(palmPdbDump(scratch / "tricky.pdb"), expected);
  writeWholeFile(scratch / "empty.pdb", imageOf(empty));
  EXPECT_EQ(palmPdbDump(scratch / "empty.pdb"), memoryDump(empty));

  // Read back under another name: the same database.
  std::memcpy(image.data(), "Tricky copy", 12);
  LocalID copy = load(image);
  std::string copied = memoryDump(copy);
  EXPECT_EQ(copied.substr(copied.find('\n')), expected.substr(expected.find('\n')));
}

// A writer that takes at most a few bytes per call, or none at all.
struct StingyWriter {
  std::vector<UInt32> calls;
  UInt32 limit;
  static Err write(const void*, UInt32* sizeP, void* user) {
    auto* self = static_cast<StingyWriter*>(user);
    self->calls.push_back(*sizeP);
    if (*sizeP > self->limit) *sizeP = self->limit;
    return errNone;
  }
};

TEST_F(ImageFormat, WriterPiecesAndDisconnection) {
  LocalID id = create("Pieces");
  DmOpenRef db = DmOpenDatabase(0, id, dmModeReadWrite);
  UInt16 at = 0;
  DmNewRecord(db, &at, 70000);
  DmReleaseRecord(db, 0, false);
  DmCloseDatabase(db);
  StingyWriter all{{}, 0xFFFFFFFF};
  EXPECT_EQ(WriteDatabaseToStream(StingyWriter::write, &all, id, 0), errNone);
  EXPECT_EQ(all.calls, (std::vector<UInt32>{78, 8, 2, 65535, 4465}));
  StingyWriter none{{}, 0};
  EXPECT_EQ(WriteDatabaseToStream(StingyWriter::write, &none, id, 0), exgErrDisconnected);
  EXPECT_EQ(none.calls.size(), 1u);
}

std::vector<UInt8> recordImage(std::initializer_list<std::pair<UInt32, UInt8>> entries, UInt32 appInfo,
                               std::vector<UInt8> tail) {
  std::vector<UInt8> image(78 + 8 * entries.size());
  std::memcpy(image.data(), "Handmade", 9);
  set32(&image[60], fourCC("DATA"));
  set32(&image[64], fourCC("hand"));
  set32(&image[52], appInfo);
  set16(&image[76], static_cast<UInt16>(entries.size()));
  size_t i = 0;
  for (auto [offset, attr] : entries) {
    set32(&image[78 + 8 * i], offset);
    image[78 + 8 * i + 4] = attr;
    image[78 + 8 * i + 7] = static_cast<UInt8>(i + 1);
    ++i;
  }
  image.insert(image.end(), tail.begin(), tail.end());
  return image;
}

std::vector<UInt8> withoutLast(std::vector<UInt8> v, size_t n) {
  v.erase(v.end() - static_cast<long>(n), v.end());
  return v;
}

TEST_F(ImageFormat, ReaderAcceptsWhatRealFilesDoAndRefusesBrokenOffsets) {
  struct Case {
    const char* what;
    std::vector<UInt8> image;
    Err err;
    std::vector<std::string> records;
  } cases[] = {
      {"no pad bytes", recordImage({{94, 0x40}, {96, 0x40}}, 0, {'a', 0, 'b', 0}), errNone, {"a", "b"}},
      {"long gap", recordImage({{92, 0x40}}, 0, {0, 0, 0, 0, 0, 0, 'x', 0}), errNone, {"x"}},
      {"empty last record", recordImage({{96, 0x40}, {98, 0x80}}, 0, {0, 0, 'a', 0}), errNone, {"a", ""}},
      {"record without data", recordImage({{0, 0x80}, {96, 0x40}}, 0, {0, 0, 'q', 0}), errNone, {"", "q"}},
      {"app info inside the entries", recordImage({{88, 0x60}}, 80, {0, 0, 'z', 0}), errNone, {"z"}},
      {"data before the entries end", recordImage({{80, 0x40}}, 0, {0, 0, 'z', 0}), exgErrBadData, {}},
      {"offsets out of order", recordImage({{98, 0x40}, {96, 0x40}}, 0, {0, 0, 'a', 0, 'b', 0}), exgErrBadData, {}},
      {"offset past the end", recordImage({{500, 0x40}}, 0, {0, 0}), exgErrBadData, {}},
      {"entries past the end", withoutLast(recordImage({{0, 0}, {0, 0}}, 0, {}), 3), exgErrBadData, {}},
      {"shorter than a header", std::vector<UInt8>(77, 0x41), exgErrBadData, {}},
  };
  UInt32 before = liveChunks();
  for (Case& c : cases) {
    SCOPED_TRACE(c.what);
    testing::internal::CaptureStderr();
    LocalID id = load(c.image, c.err);
    testing::internal::GetCapturedStderr();
    if (c.err) {
      EXPECT_EQ(id, 0u);
      EXPECT_EQ(DmFindDatabase(0, "Handmade"), 0u);
      EXPECT_LE(liveChunks(), before + 1) << "nothing of a refused image stays";
      continue;
    }
    DmOpenRef db = DmOpenDatabase(0, id, dmModeReadOnly);
    ASSERT_EQ(DmNumRecords(db), c.records.size());
    for (UInt16 i = 0; i < c.records.size(); ++i) {
      LocalID chunk = 1;
      DmRecordInfo(db, i, nullptr, nullptr, &chunk);
      std::string text = chunk ? static_cast<const char*>(GetPtrWithoutLocking(chunk)) : "";
      EXPECT_EQ(text, c.records[i]) << i;
      UInt16 attr;
      DmRecordInfo(db, i, &attr, nullptr, nullptr);
      EXPECT_FALSE(attr & dmRecAttrBusy) << "stored busy, loaded free";
    }
    EXPECT_EQ(DmGetAppInfoID(db), 0u);
    DmCloseDatabase(db);
    DmDeleteDatabase(0, id);
  }
}

TEST_F(ImageFormat, AnImageArrivesWithoutTheSystemsOwnAttributeBits) {
  auto image = recordImage({}, 0, {0, 0});
  set16(&image[32], 0x8000 | dmHdrAttrDirty | dmHdrAttrStub | dmHdrAttrBackup);
  LocalID id = load(image);
  EXPECT_EQ(attributes(id), dmHdrAttrBackup | dmHdrAttrDirty);
  set16(databaseHeader(id) + DbHdr::kAttributes, 0xEFFE);
  std::vector<UInt8> written = imageOf(id);
  ASSERT_GE(written.size(), 80u);
  EXPECT_EQ(get16(written.data() + 32), 0x4FFE) << "never open, dirty or stub in an image";
  set16(databaseHeader(id) + DbHdr::kAttributes, dmHdrAttrBackup);
  EXPECT_EQ(DmDeleteDatabase(0, id), errNone) << "an image's open bit must not keep it from being deleted";
}

TEST_F(ImageFormat, ExistingNamesNeedTheDeleteProcedure) {
  LocalID existing = create("Handmade");
  auto image = recordImage({}, 0, {0, 0});
  LocalID id = 0;
  EXPECT_EQ(CreateOrLoadDatabaseFromImage(0, image.data(), static_cast<UInt32>(image.size()), nullptr, nullptr, &id, 0,
                                          nullptr),
            dmErrAlreadyExists);
  EXPECT_EQ(id, existing);
  DmDeleteProc replace = [](const Char*, UInt16, UInt16 card, LocalID dbID, void*) -> Boolean {
    return DmDeleteDatabase(card, dbID) == errNone;
  };
  EXPECT_EQ(CreateOrLoadDatabaseFromImage(0, image.data(), static_cast<UInt32>(image.size()), replace, nullptr, &id, 0,
                                          nullptr),
            errNone);
  EXPECT_EQ(DmFindDatabase(0, "Handmade"), id);
  EXPECT_EQ(DbHdr::creator(databaseHeader(id)), fourCC("hand")) << "the image's database replaced the old one";
  EXPECT_EQ(DmNumDatabases(0), 1);
}

TEST_F(ImageFormat, StreamReaderGetsTheSameDatabaseWhateverThePieces) {
  auto bytes = readWholeFile(SharedDataPath("testapps/data/lbPG-tutorial.PDB"));
  struct Source {
    const std::vector<UInt8>* bytes;
    size_t at = 0;
    UInt32 most;
    static Err read(void* dst, UInt32* sizeP, void* user) {
      auto* s = static_cast<Source*>(user);
      UInt32 n = std::min<UInt32>({*sizeP, s->most, static_cast<UInt32>(s->bytes->size() - s->at)});
      std::memcpy(dst, s->bytes->data() + s->at, n);
      s->at += n;
      *sizeP = n;
      return errNone;
    }
  };
  Source whole{&bytes, 0, 0xFFFFFFFF};
  LocalID id = 0;
  ASSERT_EQ(CreateOrLoadDatabaseFromStream(0, Source::read, nullptr, &whole, &id, 0, nullptr, 1), errNone);
  std::string expected = memoryDump(id);
  EXPECT_EQ(expected, palmPdbDump(SharedDataPath("testapps/data/lbPG-tutorial.PDB")));
  DmDeleteDatabase(0, id);
  Source trickle{&bytes, 0, 4096};
  ASSERT_EQ(CreateOrLoadDatabaseFromStream(0, Source::read, nullptr, &trickle, &id, 0, nullptr, 1), errNone);
  EXPECT_EQ(memoryDump(id), expected);
}

TEST_F(ImageFormat, ThousandsOfMutatedRealFilesNeverCrashAndLeaveNothingBehind) {
  std::mt19937 random(7);
  auto files = realDatabaseFiles();
  UInt32 before = liveChunks();
  int loaded = 0, refused = 0;
  testing::internal::CaptureStderr();
  for (int round = 0; round < 3000; ++round) {
    auto bytes = readWholeFile(files[round % files.size()]);
    int mutations = 1 + static_cast<int>(random() % 4);
    for (int m = 0; m < mutations; ++m) {
      switch (random() % 4) {
        case 0:  // a random byte of the header and entries
          bytes[random() % std::min<size_t>(bytes.size(), 200)] = static_cast<UInt8>(random());
          break;
        case 1:
          bytes[random() % bytes.size()] ^= static_cast<UInt8>(1u << (random() % 8));
          break;
        case 2:
          bytes.resize(random() % bytes.size());
          break;
        default:  // an offset or count set to something wild
          if (bytes.size() >= 82) set32(&bytes[52 + 4 * (random() % 2)], static_cast<UInt32>(random()));
      }
      if (bytes.empty()) break;
    }
    LocalID id = 0;
    Err err = CreateOrLoadDatabaseFromImage(0, bytes.data(), static_cast<UInt32>(bytes.size()), nullptr, nullptr, &id,
                                            0, nullptr);
    if (err) {
      ++refused;
      ASSERT_EQ(id, 0u);
      continue;
    }
    ++loaded;
    DmOpenRef db = DmOpenDatabase(0, id, dmModeReadOnly);
    ASSERT_NE(db, nullptr);
    UInt32 n = DmNumRecords(db);
    for (UInt16 i = 0; i < n; ++i) DmRecordInfo(db, i, nullptr, nullptr, nullptr);
    DmCloseDatabase(db);
    ASSERT_EQ(DmDeleteDatabase(0, id), errNone);
  }
  testing::internal::GetCapturedStderr();
  EXPECT_GT(loaded, 100);
  EXPECT_GT(refused, 100);
  EXPECT_LE(liveChunks(), before + 1) << "only the directory block may remain";
}
TEST_F(ImageFormat, ReceivedDatabasesAreSavedAtOnceAndImagesInChunksBecomeDatabases) {
  auto bytes = readWholeFile(SharedDataPath("testapps/data/ToDoDB-private.pdb"));
  struct Source {
    std::vector<UInt8>* bytes;
    size_t at;
    static Err read(void* dst, UInt32* sizeP, void* user) {
      auto* s = static_cast<Source*>(user);
      UInt32 n = std::min<UInt32>(*sizeP, static_cast<UInt32>(s->bytes->size() - s->at));
      std::memcpy(dst, s->bytes->data() + s->at, n);
      s->at += n;
      *sizeP = n;
      return errNone;
    }
  } source{&bytes, 0};
  LocalID id = 0;
  Boolean reset = 9;
  ASSERT_EQ(ExgDBReadExtended(Source::read, nullptr, &source, &id, 0, &reset, true), errNone);
  EXPECT_EQ(reset, 0);
  EXPECT_EQ(files.savesOf("ToDoDB"), 1);
  source.at = 0;
  EXPECT_EQ(ExgDBReadExtended(Source::read, nullptr, &source, &id, 0, &reset, true), dmErrAlreadyExists);
  EXPECT_EQ(id, 0u);

  // The same image handed over in a chunk, under another name.
  std::memcpy(bytes.data(), "ToDo copy", 10);
  MemHandle h = MemHandleNew(static_cast<UInt32>(bytes.size()));
  std::memcpy(MemHandleLock(h), bytes.data(), bytes.size());
  EXPECT_EQ(DmCreateDatabaseFromImage(MemHandleDataPtr(h)), errNone);
  EXPECT_EQ(files.savesOf("ToDo copy"), 1);
  std::string original = memoryDump(DmFindDatabase(0, "ToDoDB"));
  std::string copy = memoryDump(DmFindDatabase(0, "ToDo copy"));
  EXPECT_EQ(copy.substr(copy.find('\n')), original.substr(original.find('\n')));
  EXPECT_EQ(DmCreateDatabaseFromImage(MemHandleDataPtr(h)), dmErrAlreadyExists);
  MemHandleFree(h);
}
}  // namespace
