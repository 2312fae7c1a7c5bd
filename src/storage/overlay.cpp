// The Overlay Manager's locale calls and the opening of overlay databases.
#include "storage/overlay.h"

#include <cstring>

#include "palm/Endian.h"
#include "palm/ErrorCodes.h"
#include "palm/FourCC.h"
#include "storage/DataMgrPrivate.h"
#include "storage/Feature.h"
#include "storage/memorymgr.h"

namespace {
constexpr UInt32 kOverlayType = fourCC("ovly");
constexpr UInt16 kOverlayResID = 1000;
constexpr UInt32 kPrefsType = fourCC("xprf");
constexpr UInt16 kCountryFeature = 5;
constexpr UInt16 kLanguageFeature = 6;
constexpr UInt16 kDefaultLocaleFeature = 1;
constexpr UInt16 kUnusedLanguage = 5;
constexpr size_t kBaseNameMax = 26;

// Indexed by the Palm language number.
// clang-format off
constexpr char kLanguageCodes[kLanguageCount][3] = {
    "en", "fr", "de", "it", "es", "  ", "jp", "nl", "aa", "ab", "af", "am", "ar", "as", "ay", "az",
    "ba", "be", "bg", "bh", "bi", "bn", "bo", "br", "ca", "co", "cs", "cy", "da", "dz", "el", "eo",
    "et", "eu", "fa", "fi", "fj", "fo", "fy", "ga", "gd", "gl", "gn", "gu", "ha", "hi", "hr", "hu",
    "hy", "ia", "ie", "ik", "in", "is", "iw", "ji", "jw", "ka", "kk", "kl", "km", "kn", "ko", "ks",
    "ku", "ky", "la", "ln", "lo", "lt", "lv", "mg", "mi", "mk", "ml", "mn", "mo", "mr", "ms", "mt",
    "my", "na", "ne", "no", "oc", "om", "or", "pa", "pl", "ps", "pt", "qu", "rm", "rn", "ro", "ru",
    "rw", "sa", "sd", "sg", "sh", "si", "sk", "sl", "sm", "sn", "so", "sq", "sr", "ss", "st", "su",
    "sv", "sw", "ta", "te", "tg", "th", "ti", "tk", "tl", "tn", "to", "tr", "ts", "tt", "tw", "uk",
    "ur", "uz", "vi", "vo", "wo", "xh", "yo", "zh", "zu",
};
// clang-format on

// Indexed by the Palm country number.
// clang-format off
constexpr char kCountryCodes[kCountryCount][3] = {
    "AU", "AT", "BE", "BR", "CA", "DK", "FI", "FR", "DE", "HK", "IS", "IE", "IT", "JP", "LU", "MX",
    "NL", "NZ", "NO", "ES", "SE", "CH", "GB", "US", "IN", "ID", "KR", "MY", "CN", "PH", "SG", "TH",
    "TW", "AD", "AE", "AF", "AG", "AI", "AL", "AM", "AN", "AO", "AQ", "AR", "AS", "AW", "AZ", "BA",
    "BB", "BD", "BF", "BG", "BH", "BI", "BJ", "BM", "BN", "BO", "BS", "BT", "BV", "BW", "BY", "BZ",
    "CC", "CF", "CG", "CI", "CK", "CL", "CM", "CO", "CR", "CU", "CV", "CX", "CY", "CZ", "DJ", "DM",
    "DO", "DZ", "EC", "EE", "EG", "EH", "ER", "ET", "FJ", "FK", "FM", "FO", "GA", "GD", "GE", "GF",
    "GH", "GI", "GL", "GM", "GN", "GP", "GQ", "GR", "GS", "GT", "GU", "GW", "GY", "HM", "HN", "HR",
    "HT", "HU", "IL", "IO", "IQ", "IR", "JM", "JO", "KE", "KG", "KH", "KI", "KM", "KN", "KP", "KW",
    "KY", "KK", "KZ", "LA", "LB", "LC", "LI", "LK", "LR", "LS", "LT", "LV", "LY", "MA", "MC", "MD",
    "MG", "MH", "MK", "ML", "MM", "MN", "MO", "MP", "MQ", "MR", "MS", "MT", "MU", "MV", "MW", "MZ",
    "NA", "NC", "NE", "NF", "NG", "NI", "NP", "NR", "NU", "OM", "PA", "PE", "PF", "PG", "PK", "PL",
    "PM", "PN", "PR", "PT", "PW", "PY", "QA", "RE", "RO", "RU", "RW", "SA", "SB", "SC", "SD", "SH",
    "SI", "SJ", "SK", "SL", "SM", "SN", "SO", "SR", "ST", "SV", "SY", "SZ", "TC", "TD", "TF", "TG",
    "TJ", "TK", "TM", "TN", "TO", "TP", "TR", "TT", "TV", "TZ", "UA", "UG", "UM", "UY", "UZ", "VA",
    "VC", "VE", "VG", "VI", "VN", "VU", "WF", "WS", "YE", "YT", "YU", "ZA", "ZM", "ZR", "ZW",
};
// clang-format on

template <size_t N>
bool findCode(const char (&table)[N][3], const Char* code, UInt16* indexP) {
  for (UInt16 i = 0; i < N; ++i)
    if (table[i][0] == code[0] && table[i][1] == code[1]) {
      *indexP = i;
      return true;
    }
  return false;
}

size_t lengthWithoutTrailingSpaces(const Char* s) {
  size_t n = std::strlen(s);
  while (n > 0 && s[n - 1] == ' ') --n;
  return n;
}

UInt8* accessOf(DmOpenRef ref) { return static_cast<UInt8*>(ref); }
UInt8* headerOf(DmOpenRef ref) { return OpenInfo::header(Access::openInfo(accessOf(ref))); }

// The 32-bit flags word at offset 2 of a resource of ref; false when the
// resource is missing or too short to hold it.
bool resourceFlags(DmOpenRef ref, UInt32 type, UInt16 id, UInt32* flagsP) {
  UInt16 index = DmFindResource(ref, type, id, 0);
  MemHandle h = index == 0xFFFF ? 0 : DmGetResourceIndex(ref, index);
  if (!h || MemHandleSize(h) < 6) return false;
  *flagsP = get32(static_cast<const UInt8*>(MemHandleDataPtr(h)) + 2);
  return true;
}

// An overlay's 'ovly' 1000 names the locale and the base it is made for.
bool overlayMatches(DmOpenRef overlay, const LmLocaleType& locale, const UInt8* baseHeader) {
  UInt16 index = DmFindResource(overlay, kOverlayType, kOverlayResID, 0);
  MemHandle h = index == 0xFFFF ? 0 : DmGetResourceIndex(overlay, index);
  if (!h || MemHandleSize(h) < 22) return false;
  const auto* r = static_cast<const UInt8*>(MemHandleDataPtr(h));
  return get16(r + 10) == locale.language && get16(r + 12) == locale.country &&
         get32(r + 14) == DbHdr::type(baseHeader) && get32(r + 18) == DbHdr::creator(baseHeader);
}

bool OpenAndVerifyOverlay(UInt16 cardNo, const LmLocaleType& locale, const UInt8* baseHeader) {
  Err lastErr = DmGetLastErr();
  bool opened = false;
  Char name[dmDBNameLength];
  LocalID id = 0;
  UInt16 attributes = 0;
  UInt32 type = 0, creator = 0;
  if (OmLocaleToOverlayDBName(DbHdr::name(baseHeader), &locale, name) == errNone &&
      (id = DmFindDatabase(cardNo, name)) != 0 &&
      DmDatabaseInfo(cardNo, id, nullptr, &attributes, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                     &type, &creator) == errNone &&
      (attributes & dmHdrAttrResDB) && type == kOverlayType && creator == DbHdr::creator(baseHeader)) {
    if (DmOpenRef overlay = OpenSingleDatabase(cardNo, id, dmModeReadOnly, false)) {
      opened = overlayMatches(overlay, locale, baseHeader);
      if (!opened) DmCloseDatabase(overlay);
    }
  }
  setLastErr(lastErr);
  return opened;
}

// The default locale feature holds the locale's four bytes as a little-endian
// word: 0x17000000 is language 0, country 23.
LmLocaleType localeFromDefaultFeature(UInt32 value) {
  UInt8 bytes[4];
  setLE32(bytes, value);
  return {get16(bytes), get16(bytes + 2)};
}
}  // namespace

LmLocaleType readLocale68K(const void* p) {
  const auto* b = static_cast<const UInt8*>(p);
  return {get16(b), get16(b + 2)};
}

void writeLocale68K(void* p, const LmLocaleType& locale) {
  auto* b = static_cast<UInt8*>(p);
  set16(b, locale.language);
  set16(b + 2, locale.country);
}

Err OmGetSystemLocale(LmLocaleType* localeP) {
  UInt32 country = 0, language = 0;
  FtrGet(fourCC("ovly"), kCountryFeature, &country);
  FtrGet(fourCC("ovly"), kLanguageFeature, &language);
  localeP->country = static_cast<UInt16>(country);
  localeP->language = static_cast<UInt16>(language);
  return errNone;
}

Err OmGetCurrentLocale(LmLocaleType* localeP) { return OmGetSystemLocale(localeP); }

Err OmSetSystemLocale(const LmLocaleType* localeP) {
  FtrSet(fourCC("ovly"), kCountryFeature, localeP->country);
  FtrSet(fourCC("ovly"), kLanguageFeature, localeP->language);
  return errNone;
}

Err OmGetNextSystemLocale(Boolean newSearch, LmLocaleType* localeP) {
  if (!newSearch) return omErrNoNextSystemLocale;
  return OmGetSystemLocale(localeP);
}

Err OmGetIndexedLocale(UInt16, LmLocaleType*) { return errNone; }

Err OmLocaleToOverlayDBName(const Char* baseName, const LmLocaleType* localeP, Char* overlayName) {
  if (localeP->country >= kCountryCount || localeP->language >= kLanguageCount || localeP->language == kUnusedLanguage)
    return omErrUnknownLocale;
  size_t n = lengthWithoutTrailingSpaces(baseName);
  if (n > kBaseNameMax) n = kBaseNameMax;
  std::memcpy(overlayName, baseName, n);
  overlayName[n] = '_';
  std::memcpy(overlayName + n + 1, kLanguageCodes[localeP->language], 2);
  std::memcpy(overlayName + n + 3, kCountryCodes[localeP->country], 2);
  overlayName[n + 5] = 0;
  return errNone;
}

Err OmOverlayDBNameToLocale(const Char* overlayName, LmLocaleType* localeP) {
  size_t n = lengthWithoutTrailingSpaces(overlayName);
  if (n < 5 || overlayName[n - 5] != '_') return omErrBadOverlayDBName;
  UInt16 language, country;
  if (!LanguageFromCode(overlayName + n - 4, &language) || !CountryFromCode(overlayName + n - 2, &country))
    return omErrUnknownLocale;
  *localeP = {language, country};
  return errNone;
}

Boolean LanguageFromCode(const Char* code, UInt16* languageP) { return findCode(kLanguageCodes, code, languageP); }

Boolean CountryFromCode(const Char* code, UInt16* countryP) { return findCode(kCountryCodes, code, countryP); }

Boolean MayHaveOverlay(UInt16 mode, const UInt8* header) {
  return DbHdr::isResourceDB(header) && !(mode & dmModeWrite) && DbHdr::type(header) != kOverlayType;
}

DmOpenRef OpenOverlayOf(DmOpenRef ref, UInt16 cardNo, UInt16 mode) {
  const UInt8* base = headerOf(ref);
  if (!MayHaveOverlay(mode, base)) return ref;
  UInt32 flags = 0;
  if (resourceFlags(ref, kPrefsType, 0, &flags) && (flags & 1)) return ref;
  bool required = resourceFlags(ref, kOverlayType, kOverlayResID, &flags) && (flags & 2);
  LmLocaleType locale;
  OmGetCurrentLocale(&locale);
  if (OpenAndVerifyOverlay(cardNo, locale, base)) return ref;
  if (!required) return ref;
  UInt32 defaultLocale = 0;
  if (FtrGet(fourCC("ovly"), kDefaultLocaleFeature, &defaultLocale) == errNone &&
      OpenAndVerifyOverlay(cardNo, localeFromDefaultFeature(defaultLocale), base))
    return ref;
  DmCloseDatabase(ref);
  setLastErr(omErrBaseRequiresOverlay);
  return nullptr;
}

Boolean IsOverlayOfClosedBase(DmOpenRef neighbour, UInt32 baseCreator) {
  if (!ValidAccessPtr(neighbour)) return false;
  const UInt8* h = headerOf(neighbour);
  return DbHdr::isResourceDB(h) && Access::mode(accessOf(neighbour)) == dmModeReadOnly &&
         DbHdr::type(h) == kOverlayType && DbHdr::creator(h) == baseCreator;
}
