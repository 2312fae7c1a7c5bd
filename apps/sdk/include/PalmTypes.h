/* Palm OS types for 68K code built with -mshort: int is 16 bits there, so
   every type is spelled with short and long only. */
#ifndef QUORVANE_PALM_TYPES_H
#define QUORVANE_PALM_TYPES_H

typedef unsigned char UInt8;
typedef signed char Int8;
typedef unsigned short UInt16;
typedef signed short Int16;
typedef unsigned long UInt32;
typedef signed long Int32;
typedef unsigned char Boolean;
typedef char Char;
typedef UInt16 WChar;
typedef UInt16 Err;
typedef Int16 Coord;
typedef UInt32 LocalID;
typedef void *MemPtr;
typedef struct _MemHandleOpaque *MemHandle;
typedef void *DmOpenRef;
typedef UInt32 DmResType;
typedef UInt16 DmResID;

/* The old Float Manager's number: value = sign * mantissa * 2^exponent. */
typedef struct {
  UInt32 mantissa;
  Int16 exponent;
  Int8 sign;
  UInt8 reserved;
} FloatType;

#define NULL ((void *)0)
#define true 1
#define false 0
#define errNone 0

/* The layout above holds only with -mshort on the 68000. */
typedef char QuorvanePalmTypeSizes[(sizeof(UInt16) == 2 && sizeof(UInt32) == 4 && sizeof(void *) == 4 &&
                                    sizeof(FloatType) == 8) ? 1 : -1];

#endif
