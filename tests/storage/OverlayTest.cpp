// The Overlay Manager: overlay names and locales, and a resource database's
// overlay opened and closed with it.
#include <cstring>
#include <string>
#include <vector>

#include "DataMgrFixture.h"
#include "palm/Endian.h"
#include "storage/Feature.h"
#include "storage/overlay.h"

namespace {
constexpr UInt32 kBaseCreator = fourCC("tBas");
constexpr UInt32 kOvly = fourCC("ovly");

TEST(OverlayNames, FromBaseNameAndLocale) {
  struct Case {
    const char* base;
    LmLocaleType locale;
    Err err;
    const char* name;
  } cases[] = {
      {"Memo Pad", {0, 23}, errNone, "Memo Pad_enUS"},
      {"Memo Pad   ", {1, 7}, errNone, "Memo Pad_frFR"},
      {"abcdefghijklmnopqrstuvwxyz0123", {0, 23}, errNone, "abcdefghijklmnopqrstuvwxyz_enUS"},
      {"Memo Pad", {2, 33}, errNone, "Memo Pad_deAD"},
      {"Memo Pad", {136, 238}, errNone, "Memo Pad_zuZW"},
      {"Memo Pad", {5, 23}, omErrUnknownLocale, ""},
      {"Memo Pad", {137, 23}, omErrUnknownLocale, ""},
      {"Memo Pad", {0, 239}, omErrUnknownLocale, ""},
  };
  for (const Case& c : cases) {
    Char name[32] = {};
    EXPECT_EQ(OmLocaleToOverlayDBName(c.base, &c.locale, name), c.err) << c.base;
    EXPECT_STREQ(name, c.name) << c.base;
  }
}

TEST(OverlayNames, ToLocale) {
  struct Case {
    const char* name;
    Err err;
    UInt16 language, country;
  } cases[] = {
      {"Memo Pad_frFR", errNone, 1, 7},
      {"Memo Pad_enUS  ", errNone, 0, 23},
      {"X_nlTW", errNone, 7, 32},
      {"Memo Pad_xxUS", omErrUnknownLocale, 9, 9},
      {"Memo Pad_enXX", omErrUnknownLocale, 9, 9},
      {"Memo Pad_ENUS", omErrUnknownLocale, 9, 9},  // case matters
      {"ab", omErrBadOverlayDBName, 9, 9},
      {"Memo Pad-enUS", omErrBadOverlayDBName, 9, 9},
  };
  for (const Case& c : cases) {
    LmLocaleType locale{9, 9};
    EXPECT_EQ(OmOverlayDBNameToLocale(c.name, &locale), c.err) << c.name;
    EXPECT_EQ(locale.language, c.language) << c.name;
    EXPECT_EQ(locale.country, c.country) << c.name;
  }
}

class Overlays : public DataMgrFixture {
 protected:
  void SetUp() override {
    DataMgrFixture::SetUp();
    setFeatureHost({[](UInt32, UInt16, UInt32*) -> Err { return ftrErrNoSuchFeature; }, nullptr});
    ASSERT_TRUE(FeatureInit());
  }

  void TearDown() override {
    CloseFeatureDatabase();
    setFeatureHost({});
    DataMgrFixture::TearDown();
  }

  // A resource database with the given resources, closed again.
  static LocalID makeResDB(const char* name, UInt32 type,
                           std::initializer_list<std::pair<std::pair<UInt32, UInt16>, std::vector<UInt8>>> resources) {
    LocalID id = create(name, type, kBaseCreator, true);
    DmOpenRef db = DmOpenDatabase(0, id, dmModeReadWrite);
    EXPECT_NE(db, nullptr);
    for (const auto& [key, bytes] : resources) {
      MemHandle h = DmNewResource(db, key.first, key.second, static_cast<UInt32>(bytes.size()));
      EXPECT_NE(h, 0u);
      EXPECT_EQ(DmWrite(MemHandleLock(h), 0, bytes.data(), static_cast<UInt32>(bytes.size())), errNone);
      MemHandleUnlock(h);
    }
    DmCloseDatabase(db);
    return id;
  }

  static std::vector<UInt8> flags(UInt32 f) {
    std::vector<UInt8> b(6);
    set32(b.data() + 2, f);
    return b;
  }

  // An overlay's description: the locale and the base it is made for.
  static std::vector<UInt8> overlayDescription(UInt16 language, UInt16 country, UInt32 baseType = FourCCs::appl,
                                               UInt32 baseCreator = kBaseCreator) {
    std::vector<UInt8> b(22);
    set16(b.data() + 10, language);
    set16(b.data() + 12, country);
    set32(b.data() + 14, baseType);
    set32(b.data() + 18, baseCreator);
    return b;
  }

  static std::string text(MemHandle h) { return h ? std::string(static_cast<const char*>(MemHandleDataPtr(h))) : ""; }

  static std::string nameOf(DmOpenRef ref) {
    LocalID id = 0;
    DmOpenDatabaseInfo(ref, &id, nullptr, nullptr, nullptr, nullptr);
    Char name[32] = {};
    DmDatabaseInfo(0, id, name, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                   nullptr);
    return name;
  }

  static std::vector<UInt8> str(const char* s) { return std::vector<UInt8>(s, s + std::strlen(s) + 1); }
};

TEST_F(Overlays, SystemLocaleLivesInTheFeatures) {
  LmLocaleType locale{};
  ASSERT_EQ(OmGetSystemLocale(&locale), errNone);
  EXPECT_EQ(locale.language, 0);
  EXPECT_EQ(locale.country, 23);
  LmLocaleType french{1, 7};
  ASSERT_EQ(OmSetSystemLocale(&french), errNone);
  UInt32 value = 0;
  EXPECT_EQ(FtrGet(kOvly, 5, &value), errNone);
  EXPECT_EQ(value, 7u);
  EXPECT_EQ(OmGetNextSystemLocale(true, &locale), errNone);
  EXPECT_EQ(locale.language, 1);
  EXPECT_EQ(OmGetNextSystemLocale(false, &locale), omErrNoNextSystemLocale);
}

TEST_F(Overlays, AResourceDatabaseOpensWithItsOverlayInFrontAndClosesWithIt) {
  LocalID base = makeResDB("Base", FourCCs::appl,
                           {{{fourCC("tSTR"), 1}, str("base one")}, {{fourCC("tSTR"), 2}, str("base two")}});
  makeResDB("Base_enUS", kOvly, {{{kOvly, 1000}, overlayDescription(0, 23)}, {{fourCC("tSTR"), 1}, str("localized")}});
  DmOpenRef ref = DmOpenDatabase(0, base, dmModeReadOnly);
  ASSERT_NE(ref, nullptr);
  DmOpenRef newest = DmNextOpenDatabase(nullptr);
  EXPECT_EQ(nameOf(newest), "Base_enUS");
  EXPECT_EQ(DmNextOpenDatabase(newest), ref);
  EXPECT_EQ(text(DmGet1Resource(fourCC("tSTR"), 1)), "localized");
  EXPECT_EQ(text(DmGet1Resource(fourCC("tSTR"), 2)), "base two");
  ASSERT_EQ(DmCloseDatabase(ref), errNone);
  EXPECT_EQ(DmNextOpenDatabase(nullptr), GetFeatureDbRef());  // the overlay went with its base
}

TEST_F(Overlays, NoOverlayWhenWritingDisabledOrNotMadeForTheBase) {
  struct Case {
    const char* what;
    std::vector<UInt8> description;
    UInt16 mode;
    bool disabled;
  } cases[] = {
      {"opened for writing", overlayDescription(0, 23), dmModeReadWrite, false},
      {"overlays disabled", overlayDescription(0, 23), dmModeReadOnly, true},
      {"made for another base", overlayDescription(0, 23, FourCCs::appl, fourCC("othr")), dmModeReadOnly, false},
      {"made for another locale", overlayDescription(1, 7), dmModeReadOnly, false},
  };
  for (const Case& c : cases) {
    LocalID base = c.disabled ? makeResDB("Base", FourCCs::appl, {{{fourCC("xprf"), 0}, flags(1)}})
                              : makeResDB("Base", FourCCs::appl, {});
    LocalID overlay = makeResDB("Base_enUS", kOvly, {{{kOvly, 1000}, c.description}});
    DmOpenRef ref = DmOpenDatabase(0, base, c.mode);
    ASSERT_NE(ref, nullptr) << c.what;
    EXPECT_EQ(DmNextOpenDatabase(nullptr), ref) << c.what;
    EXPECT_EQ(DmCloseDatabase(ref), errNone);
    EXPECT_EQ(DmDeleteDatabase(0, overlay), errNone);
    EXPECT_EQ(DmDeleteDatabase(0, base), errNone);
  }
}

TEST_F(Overlays, ABaseThatNeedsAnOverlayFallsBackToTheDefaultLocaleOrFails) {
  LocalID base = makeResDB("Base", FourCCs::appl, {{{kOvly, 1000}, flags(2)}});
  LmLocaleType french{1, 7};
  ASSERT_EQ(OmSetSystemLocale(&french), errNone);
  EXPECT_EQ(DmOpenDatabase(0, base, dmModeReadOnly), nullptr);
  EXPECT_EQ(DmGetLastErr(), omErrBaseRequiresOverlay);
  EXPECT_EQ(DmNextOpenDatabase(nullptr), GetFeatureDbRef());  // the base was closed again
  makeResDB("Base_enUS", kOvly, {{{kOvly, 1000}, overlayDescription(0, 23)}});
  DmOpenRef ref = DmOpenDatabase(0, base, dmModeReadOnly);
  ASSERT_NE(ref, nullptr);
  EXPECT_EQ(nameOf(DmNextOpenDatabase(nullptr)), "Base_enUS");
  EXPECT_EQ(DmGetLastErr(), errNone);
}

}  // namespace
