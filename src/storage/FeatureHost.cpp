// What the host answers for the Feature Manager: the locale features, the
// program's version and device identifier, the encodings it has.
#include <cstdlib>
#include <cstring>
#include <string>

#include "palm/FourCC.h"
#include "storage/FeaturePrivate.h"
#include "storage/overlay.h"

namespace {
// The build's version tag: the five digits after its first "V".
constexpr const char* kVersionTag = "Quorvane: V10001 $";

constexpr UInt16 kCountryFeature = 5;
constexpr UInt16 kLanguageFeature = 6;

// The host's locale as "ll_CC" from the usual environment variables; empty
// for the "C" and "POSIX" locales.
std::string hostLocaleName() {
  for (const char* var : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* v = std::getenv(var);
    if (v && *v) return v;
  }
  return "";
}

Err hostLocaleFeature(UInt32 creator, UInt16 number, UInt32* valueP) {
  if (creator != fourCC("ovly") || (number != kCountryFeature && number != kLanguageFeature))
    return ftrErrNoSuchFeature;
  std::string name = hostLocaleName();
  if (name.size() < 5 || name[2] != '_') return ftrErrNoSuchFeature;
  UInt16 language = 0, country = 0;
  if (!LanguageFromCode(name.c_str(), &language) || !CountryFromCode(name.c_str() + 3, &country))
    return ftrErrNoSuchFeature;
  *valueP = number == kCountryFeature ? country : language;
  return errNone;
}

Err noService(UInt16, UInt32) { return errNone; }

FeatureHost current{hostLocaleFeature, noService};
}  // namespace

const FeatureHost& featureHost() { return current; }

void setFeatureHost(const FeatureHost& host) {
  current = FeatureHost{host.getNative ? host.getNative : hostLocaleFeature,
                        host.privateAppService ? host.privateAppService : noService};
}

UInt32 GetQuorvaneVersionInt() {
  const char* v = std::strchr(kVersionTag, 'V');
  if (!v) return 99999;
  UInt32 n = 0;
  for (int i = 1; i <= 5; ++i) {
    if (v[i] < '0' || v[i] > '9') return 99999;
    n = n * 10 + static_cast<UInt32>(v[i] - '0');
  }
  return n;
}

UInt32 getSysFtrNumOEMDeviceID() { return fourCC("iphn"); }

UInt16 QvnIsCharEncodingAvailable(UInt8 encoding) {
  constexpr UInt8 kPalmLatin = 3, kIso8859_9 = 47;
  return (encoding == kPalmLatin || encoding == kIso8859_9) ? 0 : 22;
}
