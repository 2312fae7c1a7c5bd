// Host file names of databases: the name, "#", then attributes, version,
// creator and type written as letters 'a'..'p', and ".qvn". The start-up pass
// rebuilds the whole database directory from these names alone.
#pragma once
#include <string>

#include "palm/PalmTypes.h"

constexpr const char* kDatabaseFileExtension = ".qvn";
constexpr const char* kBackupFileExtension = ".bak";
// Attributes that reach a file name: never open, dirty or stub.
constexpr UInt16 kFileNameAttributes = 0x4FFF;

// Each appends to out and returns the number of characters written.
UInt32 encodeDatabaseName(const Char* name, std::string& out);
UInt32 encodeUnsigned16(UInt16 value, std::string& out);
UInt32 encodeUnsigned32(UInt32 value, std::string& out);

void FormEncodedFileName(const Char* name, UInt16 attributes, UInt16 version, UInt32 creator, UInt32 type,
                         std::string& out);
void FormBackupFileName(const Char* name, std::string& out);

// nameOut receives at least 32 bytes. False for a name that is not ours.
Boolean DecodeEncodedFileName(const Char* fileName, Char* nameOut, UInt16* attributesP, UInt16* versionP,
                              UInt32* creatorP, UInt32* typeP);
