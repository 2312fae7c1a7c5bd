// The Overlay Manager: the system locale (kept in two features), the naming
// rule of locale overlay databases, and the opening of a resource database's
// overlay together with it.
#pragma once
#include "palm/PalmTypes.h"
#include "storage/DATAMGR.h"

constexpr Err omErrUnknownLocale = 0x2502;
constexpr Err omErrBadOverlayDBName = 0x2503;
constexpr Err omErrNoNextSystemLocale = 0x2507;

constexpr UInt16 kLanguageCount = 137;
constexpr UInt16 kCountryCount = 239;

// A locale in host order; applications see it as two big-endian words,
// language first (LmLocaleType68K).
struct LmLocaleType {
  UInt16 language;
  UInt16 country;
};
LmLocaleType readLocale68K(const void* p);
void writeLocale68K(void* p, const LmLocaleType& locale);

Err OmGetSystemLocale(LmLocaleType* localeP);
Err OmGetCurrentLocale(LmLocaleType* localeP);
Err OmSetSystemLocale(const LmLocaleType* localeP);
Err OmGetNextSystemLocale(Boolean newSearch, LmLocaleType* localeP);
// There is no list of locales: nothing is stored.
Err OmGetIndexedLocale(UInt16 index, LmLocaleType* localeP);
// overlayName receives at most 31 characters and the terminator.
Err OmLocaleToOverlayDBName(const Char* baseName, const LmLocaleType* localeP, Char* overlayName);
Err OmOverlayDBNameToLocale(const Char* overlayName, LmLocaleType* localeP);

// The Palm language or country number of a two-letter code (case matters).
Boolean LanguageFromCode(const Char* code, UInt16* languageP);
Boolean CountryFromCode(const Char* code, UInt16* countryP);

// After a base database opened as ref: opens its overlay for the current
// locale (or, when the base needs one, the default locale) right after it.
// Returns ref, or null when a required overlay is missing: then the base is
// closed again and the last error is omErrBaseRequiresOverlay.
DmOpenRef OpenOverlayOf(DmOpenRef ref, UInt16 cardNo, UInt16 mode);
// True when neighbour, the reference opened right after a closed base of
// that creator, is the base's overlay and goes with it.
Boolean IsOverlayOfClosedBase(DmOpenRef neighbour, UInt32 baseCreator);
// True for a resource database opened for reading whose type is not 'ovly':
// a base that may have an overlay.
Boolean MayHaveOverlay(UInt16 mode, const UInt8* header);
