// Palm error codes: the manager's class in the high byte, the error in the low byte.
// Each manager adds its own codes here as it is built.
#pragma once
#include "palm/PalmTypes.h"

constexpr Err memErrorClass = 0x0100;
constexpr Err dmErrorClass = 0x0200;
constexpr Err serErrorClass = 0x0300;
constexpr Err slkErrorClass = 0x0400;
constexpr Err sysErrorClass = 0x0500;
constexpr Err sndErrorClass = 0x0800;
constexpr Err ftrErrorClass = 0x0C00;
constexpr Err netErrorClass = 0x1200;
constexpr Err exgErrorClass = 0x1500;
constexpr Err fileErrorClass = 0x1600;
constexpr Err omErrorClass = 0x2500;
constexpr Err expErrorClass = 0x2900;
constexpr Err vfsErrorClass = 0x2A00;

// Float Manager
constexpr Err flpErrorClass = 0x0680;
constexpr Err flpErrOutOfRange = flpErrorClass | 1;

// Memory Manager
constexpr Err memErrChunkLocked = memErrorClass | 1;
constexpr Err memErrNotEnoughSpace = memErrorClass | 2;
constexpr Err memErrInvalidParam = memErrorClass | 3;
constexpr Err memErrChunkNotLocked = memErrorClass | 4;
constexpr Err memErrCardNotPresent = memErrorClass | 5;
constexpr Err memErrNoStore = memErrorClass | 11;

// Data Manager
constexpr Err dmErrMemError = dmErrorClass | 1;
constexpr Err dmErrIndexOutOfRange = dmErrorClass | 2;
constexpr Err dmErrInvalidParam = dmErrorClass | 3;
constexpr Err dmErrReadOnly = dmErrorClass | 4;
constexpr Err dmErrDatabaseOpen = dmErrorClass | 5;
constexpr Err dmErrCantOpen = dmErrorClass | 6;
constexpr Err dmErrCantFind = dmErrorClass | 7;
constexpr Err dmErrRecordInWrongCard = dmErrorClass | 8;
constexpr Err dmErrCorruptDatabase = dmErrorClass | 9;
constexpr Err dmErrRecordDeleted = dmErrorClass | 10;
constexpr Err dmErrRecordArchived = dmErrorClass | 11;
constexpr Err dmErrNotRecordDB = dmErrorClass | 12;
constexpr Err dmErrNotResourceDB = dmErrorClass | 13;
constexpr Err dmErrRecordBusy = dmErrorClass | 15;
constexpr Err dmErrResourceNotFound = dmErrorClass | 16;
constexpr Err dmErrWriteOutOfBounds = dmErrorClass | 20;
constexpr Err dmErrSeekFailed = dmErrorClass | 21;
constexpr Err dmErrAlreadyOpenForWrites = dmErrorClass | 22;
constexpr Err dmErrUniqueIDNotFound = dmErrorClass | 24;
constexpr Err dmErrAlreadyExists = dmErrorClass | 25;
constexpr Err dmErrInvalidDatabaseName = dmErrorClass | 26;
constexpr Err dmErrDatabaseProtected = dmErrorClass | 27;

// Overlay Manager
constexpr Err omErrBaseRequiresOverlay = omErrorClass | 1;

// Exchange Manager (also the image reader and writer)
constexpr Err exgMemError = exgErrorClass | 1;
constexpr Err exgErrBadData = exgErrorClass | 8;
constexpr Err exgErrDisconnected = exgErrorClass | 12;
