// The opcode table as one list: one line per instruction form, in the
// reference manual's bit layout, naming the handler number that serves it and
// the handler family that carries it out. The table builder and the
// interpreter both expand this list, so the words a form covers and the code
// that runs for them cannot drift apart.
//
// Pattern symbols, bit 15 first (spaces are only for reading):
//   0 1  fixed bits
//   -    any value
//   eee eee  the operand field (mode, register) of bits 5-0, limited to the
//            addressing modes of the first class
//   ddd ddd  MOVE's destination field (register, mode) of bits 11-6, limited
//            to the addressing modes of the second class
//   nnnn nnnn  an 8-bit branch displacement other than 0
//
// FORM(number, pattern, source class, destination class, handler family)
// introduces a handler; ALSO adds words to a handler already introduced.
#pragma once

#define M68K_OPCODE_FORMS(FORM, ALSO) \
  /* Data movement */ \
  FORM(00029, "0001 --- 000 000 ---", None,   None,   Move<Byte, FromReg, ToDn>) \
  FORM(00028, "0011 --- 000 00- ---", None,   None,   Move<Word, FromReg, ToDn>) \
  FORM(00027, "0010 --- 000 00- ---", None,   None,   Move<Long, FromReg, ToDn>) \
  FORM(00031, "0011 --- 001 00- ---", None,   None,   Move<Word, FromReg, ToAn>) \
  FORM(00030, "0010 --- 001 00- ---", None,   None,   Move<Long, FromReg, ToAn>) \
  FORM(00032, "0001 ddd ddd 000 ---", None,   AltMem, Move<Byte, FromReg, ToMem>) \
  FORM(00033, "0011 ddd ddd 00- ---", None,   AltMem, Move<Word, FromReg, ToMem>) \
  FORM(00034, "0010 ddd ddd 00- ---", None,   AltMem, Move<Long, FromReg, ToMem>) \
  FORM(00037, "0001 --- 000 eee eee", AnyMem, None,   Move<Byte, FromEa, ToDn>) \
  FORM(00036, "0011 --- 000 eee eee", AnyMem, None,   Move<Word, FromEa, ToDn>) \
  FORM(00035, "0010 --- 000 eee eee", AnyMem, None,   Move<Long, FromEa, ToDn>) \
  FORM(00039, "0011 --- 001 eee eee", AnyMem, None,   Move<Word, FromEa, ToAn>) \
  FORM(00038, "0010 --- 001 eee eee", AnyMem, None,   Move<Long, FromEa, ToAn>) \
  FORM(00041, "0001 ddd ddd eee eee", AnyMem, AltMem, Move<Byte, FromEa, ToMem>) \
  FORM(00042, "0011 ddd ddd eee eee", AnyMem, AltMem, Move<Word, FromEa, ToMem>) \
  FORM(00043, "0010 ddd ddd eee eee", AnyMem, AltMem, Move<Long, FromEa, ToMem>) \
  FORM(00040, "0111 --- 0-- --- ---", None,   None,   Moveq) \
  FORM(00078, "0100 000 111 eee eee", Control, None,   Lea<0>) \
  FORM(00079, "0100 001 111 eee eee", Control, None,   Lea<1>) \
  FORM(00080, "0100 010 111 eee eee", Control, None,   Lea<2>) \
  FORM(00081, "0100 011 111 eee eee", Control, None,   Lea<3>) \
  FORM(00082, "0100 100 111 eee eee", Control, None,   Lea<4>) \
  FORM(00083, "0100 101 111 eee eee", Control, None,   Lea<5>) \
  FORM(00084, "0100 110 111 eee eee", Control, None,   Lea<6>) \
  FORM(00085, "0100 111 111 eee eee", Control, None,   Lea<7>) \
  FORM(00086, "0100 100 001 eee eee", Control, None,   Pea) \
  FORM(00200, "1100 --- 101 000 ---", None,   None,   ExgData) \
  ALSO(00200, "1100 --- 110 001 ---", None,   None,   ExgData) \
  FORM(00201, "1100 --- 101 001 ---", None,   None,   ExgAddress) \
  FORM(00199, "0100 100 001 000 ---", None,   None,   Swap) \
  FORM(00096, "0100 100 010 000 ---", None,   None,   Ext<Byte, Word>) \
  FORM(00098, "0100 100 011 000 ---", None,   None,   Ext<Word, Long>) \
  FORM(00097, "0100 100 111 000 ---", None,   None,   Ext<Byte, Long>) \
  FORM(00107, "0100 0010 00 000 ---", None,   None,   Clear<Byte, ToDn>) \
  FORM(00108, "0100 0010 01 000 ---", None,   None,   Clear<Word, ToDn>) \
  FORM(00109, "0100 0010 10 000 ---", None,   None,   Clear<Long, ToDn>) \
  FORM(00110, "0100 0010 00 eee eee", AltMem, None,   Clear<Byte, ToMem>) \
  FORM(00111, "0100 0010 01 eee eee", AltMem, None,   Clear<Word, ToMem>) \
  FORM(00112, "0100 0010 10 eee eee", AltMem, None,   Clear<Long, ToMem>) \
  /* Register lists and stack frames */ \
  FORM(00099, "0100 1000 11 100 ---", None,   None,   MovemToPredecrement<Long>) \
  FORM(00100, "0100 1000 10 100 ---", None,   None,   MovemToPredecrement<Word>) \
  FORM(00101, "0100 1000 11 eee eee", CtrlAlt, None,   MovemToControl<Long>) \
  FORM(00102, "0100 1000 10 eee eee", CtrlAlt, None,   MovemToControl<Word>) \
  FORM(00103, "0100 1100 11 011 ---", None,   None,   MovemFromPostincrement<Long>) \
  FORM(00104, "0100 1100 10 011 ---", None,   None,   MovemFromPostincrement<Word>) \
  FORM(00105, "0100 1100 11 eee eee", Control, None,   MovemFromControl<Long>) \
  FORM(00106, "0100 1100 10 eee eee", Control, None,   MovemFromControl<Word>) \
  FORM(00026, "0100 1110 0101 0110", None,   None,   LinkA6) \
  FORM(00088, "0100 1110 0101 1000", None,   None,   Unlink<0>) \
  FORM(00089, "0100 1110 0101 1001", None,   None,   Unlink<1>) \
  FORM(00090, "0100 1110 0101 1010", None,   None,   Unlink<2>) \
  FORM(00091, "0100 1110 0101 1011", None,   None,   Unlink<3>) \
  FORM(00092, "0100 1110 0101 1100", None,   None,   Unlink<4>) \
  FORM(00093, "0100 1110 0101 1101", None,   None,   Unlink<5>) \
  FORM(00094, "0100 1110 0101 1110", None,   None,   Unlink<6>) \
  FORM(00095, "0100 1110 0101 1111", None,   None,   Unlink<7>) \
  /* Branches, calls and returns */ \
  FORM(00044, "0110 0010 nnnn nnnn", None,   None,   Branch<2, Short>) \
  FORM(00045, "0110 0010 0000 0000", None,   None,   Branch<2, Wide>) \
  FORM(00046, "0110 0011 nnnn nnnn", None,   None,   Branch<3, Short>) \
  FORM(00047, "0110 0011 0000 0000", None,   None,   Branch<3, Wide>) \
  FORM(00048, "0110 0100 nnnn nnnn", None,   None,   Branch<4, Short>) \
  FORM(00049, "0110 0100 0000 0000", None,   None,   Branch<4, Wide>) \
  FORM(00050, "0110 0101 nnnn nnnn", None,   None,   Branch<5, Short>) \
  FORM(00051, "0110 0101 0000 0000", None,   None,   Branch<5, Wide>) \
  FORM(00052, "0110 0110 nnnn nnnn", None,   None,   Branch<6, Short>) \
  FORM(00053, "0110 0110 0000 0000", None,   None,   Branch<6, Wide>) \
  FORM(00054, "0110 0111 nnnn nnnn", None,   None,   Branch<7, Short>) \
  FORM(00055, "0110 0111 0000 0000", None,   None,   Branch<7, Wide>) \
  FORM(00056, "0110 1000 nnnn nnnn", None,   None,   Branch<8, Short>) \
  FORM(00057, "0110 1000 0000 0000", None,   None,   Branch<8, Wide>) \
  FORM(00058, "0110 1001 nnnn nnnn", None,   None,   Branch<9, Short>) \
  FORM(00059, "0110 1001 0000 0000", None,   None,   Branch<9, Wide>) \
  FORM(00060, "0110 1010 nnnn nnnn", None,   None,   Branch<10, Short>) \
  FORM(00061, "0110 1010 0000 0000", None,   None,   Branch<10, Wide>) \
  FORM(00062, "0110 1011 nnnn nnnn", None,   None,   Branch<11, Short>) \
  FORM(00063, "0110 1011 0000 0000", None,   None,   Branch<11, Wide>) \
  FORM(00064, "0110 1100 nnnn nnnn", None,   None,   Branch<12, Short>) \
  FORM(00065, "0110 1100 0000 0000", None,   None,   Branch<12, Wide>) \
  FORM(00066, "0110 1101 nnnn nnnn", None,   None,   Branch<13, Short>) \
  FORM(00067, "0110 1101 0000 0000", None,   None,   Branch<13, Wide>) \
  FORM(00068, "0110 1110 nnnn nnnn", None,   None,   Branch<14, Short>) \
  FORM(00069, "0110 1110 0000 0000", None,   None,   Branch<14, Wide>) \
  FORM(00070, "0110 1111 nnnn nnnn", None,   None,   Branch<15, Short>) \
  FORM(00071, "0110 1111 0000 0000", None,   None,   Branch<15, Wide>) \
  FORM(00072, "0110 0000 nnnn nnnn", None,   None,   Branch<0, Short>) \
  FORM(00073, "0110 0000 0000 0000", None,   None,   Branch<0, Wide>) \
  FORM(00074, "0110 0001 nnnn nnnn", None,   None,   BranchToSubroutine<Short>) \
  FORM(00075, "0110 0001 0000 0000", None,   None,   BranchToSubroutine<Wide>) \
  FORM(00076, "0100 1110 11 eee eee", Control, None,   Jump) \
  FORM(00077, "0100 1110 10 eee eee", Control, None,   JumpToSubroutine) \
  FORM(00087, "0100 1110 0111 0101", None,   None,   ReturnFromSubroutine) \
  FORM(00356, "0100 1110 0111 0111", None,   None,   ReturnAndRestore) \
  FORM(00304, "0100 1110 0111 0001", None,   None,   Nop) \
  /* Conditional set, decrement-and-branch and tests */ \
  FORM(00159, "0101 0000 11 000 ---", None,   None,   SetConditional<0, ToDn>) \
  FORM(00160, "0101 0000 11 eee eee", AltMem, None,   SetConditional<0, ToMem>) \
  FORM(00161, "0101 0001 11 000 ---", None,   None,   SetConditional<1, ToDn>) \
  FORM(00162, "0101 0001 11 eee eee", AltMem, None,   SetConditional<1, ToMem>) \
  FORM(00163, "0101 0010 11 000 ---", None,   None,   SetConditional<2, ToDn>) \
  FORM(00164, "0101 0010 11 eee eee", AltMem, None,   SetConditional<2, ToMem>) \
  FORM(00165, "0101 0011 11 000 ---", None,   None,   SetConditional<3, ToDn>) \
  FORM(00166, "0101 0011 11 eee eee", AltMem, None,   SetConditional<3, ToMem>) \
  FORM(00167, "0101 0100 11 000 ---", None,   None,   SetConditional<4, ToDn>) \
  FORM(00168, "0101 0100 11 eee eee", AltMem, None,   SetConditional<4, ToMem>) \
  FORM(00169, "0101 0101 11 000 ---", None,   None,   SetConditional<5, ToDn>) \
  FORM(00170, "0101 0101 11 eee eee", AltMem, None,   SetConditional<5, ToMem>) \
  FORM(00171, "0101 0110 11 000 ---", None,   None,   SetConditional<6, ToDn>) \
  FORM(00172, "0101 0110 11 eee eee", AltMem, None,   SetConditional<6, ToMem>) \
  FORM(00173, "0101 0111 11 000 ---", None,   None,   SetConditional<7, ToDn>) \
  FORM(00174, "0101 0111 11 eee eee", AltMem, None,   SetConditional<7, ToMem>) \
  FORM(00175, "0101 1000 11 000 ---", None,   None,   SetConditional<8, ToDn>) \
  FORM(00176, "0101 1000 11 eee eee", AltMem, None,   SetConditional<8, ToMem>) \
  FORM(00177, "0101 1001 11 000 ---", None,   None,   SetConditional<9, ToDn>) \
  FORM(00178, "0101 1001 11 eee eee", AltMem, None,   SetConditional<9, ToMem>) \
  FORM(00179, "0101 1010 11 000 ---", None,   None,   SetConditional<10, ToDn>) \
  FORM(00180, "0101 1010 11 eee eee", AltMem, None,   SetConditional<10, ToMem>) \
  FORM(00181, "0101 1011 11 000 ---", None,   None,   SetConditional<11, ToDn>) \
  FORM(00182, "0101 1011 11 eee eee", AltMem, None,   SetConditional<11, ToMem>) \
  FORM(00183, "0101 1100 11 000 ---", None,   None,   SetConditional<12, ToDn>) \
  FORM(00184, "0101 1100 11 eee eee", AltMem, None,   SetConditional<12, ToMem>) \
  FORM(00185, "0101 1101 11 000 ---", None,   None,   SetConditional<13, ToDn>) \
  FORM(00186, "0101 1101 11 eee eee", AltMem, None,   SetConditional<13, ToMem>) \
  FORM(00187, "0101 1110 11 000 ---", None,   None,   SetConditional<14, ToDn>) \
  FORM(00188, "0101 1110 11 eee eee", AltMem, None,   SetConditional<14, ToMem>) \
  FORM(00189, "0101 1111 11 000 ---", None,   None,   SetConditional<15, ToDn>) \
  FORM(00190, "0101 1111 11 eee eee", AltMem, None,   SetConditional<15, ToMem>) \
  FORM(00327, "0101 0000 11 001 ---", None,   None,   DecrementAndBranch<0>) \
  FORM(00328, "0101 0001 11 001 ---", None,   None,   DecrementAndBranch<1>) \
  FORM(00329, "0101 0010 11 001 ---", None,   None,   DecrementAndBranch<2>) \
  FORM(00330, "0101 0011 11 001 ---", None,   None,   DecrementAndBranch<3>) \
  FORM(00331, "0101 0100 11 001 ---", None,   None,   DecrementAndBranch<4>) \
  FORM(00332, "0101 0101 11 001 ---", None,   None,   DecrementAndBranch<5>) \
  FORM(00333, "0101 0110 11 001 ---", None,   None,   DecrementAndBranch<6>) \
  FORM(00334, "0101 0111 11 001 ---", None,   None,   DecrementAndBranch<7>) \
  FORM(00335, "0101 1000 11 001 ---", None,   None,   DecrementAndBranch<8>) \
  FORM(00336, "0101 1001 11 001 ---", None,   None,   DecrementAndBranch<9>) \
  FORM(00337, "0101 1010 11 001 ---", None,   None,   DecrementAndBranch<10>) \
  FORM(00338, "0101 1011 11 001 ---", None,   None,   DecrementAndBranch<11>) \
  FORM(00339, "0101 1100 11 001 ---", None,   None,   DecrementAndBranch<12>) \
  FORM(00340, "0101 1101 11 001 ---", None,   None,   DecrementAndBranch<13>) \
  FORM(00341, "0101 1110 11 001 ---", None,   None,   DecrementAndBranch<14>) \
  FORM(00342, "0101 1111 11 001 ---", None,   None,   DecrementAndBranch<15>) \
  FORM(00191, "0100 1010 00 000 ---", None,   None,   Test<Byte, FromReg>) \
  FORM(00192, "0100 1010 01 00- ---", None,   None,   Test<Word, FromReg>) \
  FORM(00193, "0100 1010 10 00- ---", None,   None,   Test<Long, FromReg>) \
  FORM(00194, "0100 1010 00 eee eee", AnyMem, None,   Test<Byte, FromEa>) \
  FORM(00195, "0100 1010 01 eee eee", AnyMem, None,   Test<Word, FromEa>) \
  FORM(00196, "0100 1010 10 eee eee", AnyMem, None,   Test<Long, FromEa>) \
  FORM(00197, "0100 1010 11 000 ---", None,   None,   TestAndSet<ToDn>) \
  FORM(00198, "0100 1010 11 eee eee", AltMem, None,   TestAndSet<ToMem>) \
  /* Add, subtract, compare and negate */ \
  FORM(00006, "1101 --- 000 000 ---", None,   None,   IntoDn<Add, Byte, FromReg>) \
  FORM(00007, "1101 --- 001 00- ---", None,   None,   IntoDn<Add, Word, FromReg>) \
  FORM(00008, "1101 --- 010 00- ---", None,   None,   IntoDn<Add, Long, FromReg>) \
  FORM(00012, "1101 --- 000 eee eee", AnyMem, None,   IntoDn<Add, Byte, FromEa>) \
  FORM(00013, "1101 --- 001 eee eee", AnyMem, None,   IntoDn<Add, Word, FromEa>) \
  FORM(00014, "1101 --- 010 eee eee", AnyMem, None,   IntoDn<Add, Long, FromEa>) \
  FORM(00009, "1101 --- 100 eee eee", AltMem, None,   DnToMemory<Add, Byte>) \
  FORM(00010, "1101 --- 101 eee eee", AltMem, None,   DnToMemory<Add, Word>) \
  FORM(00011, "1101 --- 110 eee eee", AltMem, None,   DnToMemory<Add, Long>) \
  FORM(00015, "1101 --- 011 00- ---", None,   None,   IntoAn<Add, Word, FromReg>) \
  FORM(00016, "1101 --- 111 00- ---", None,   None,   IntoAn<Add, Long, FromReg>) \
  FORM(00017, "1101 --- 011 eee eee", AnyMem, None,   IntoAn<Add, Word, FromEa>) \
  FORM(00018, "1101 --- 111 eee eee", AnyMem, None,   IntoAn<Add, Long, FromEa>) \
  FORM(00139, "1001 --- 000 000 ---", None,   None,   IntoDn<Sub, Byte, FromReg>) \
  FORM(00140, "1001 --- 001 00- ---", None,   None,   IntoDn<Sub, Word, FromReg>) \
  FORM(00141, "1001 --- 010 00- ---", None,   None,   IntoDn<Sub, Long, FromReg>) \
  FORM(00133, "1001 --- 000 eee eee", AnyMem, None,   IntoDn<Sub, Byte, FromEa>) \
  FORM(00134, "1001 --- 001 eee eee", AnyMem, None,   IntoDn<Sub, Word, FromEa>) \
  FORM(00135, "1001 --- 010 eee eee", AnyMem, None,   IntoDn<Sub, Long, FromEa>) \
  FORM(00136, "1001 --- 100 eee eee", AltMem, None,   DnToMemory<Sub, Byte>) \
  FORM(00137, "1001 --- 101 eee eee", AltMem, None,   DnToMemory<Sub, Word>) \
  FORM(00138, "1001 --- 110 eee eee", AltMem, None,   DnToMemory<Sub, Long>) \
  FORM(00142, "1001 --- 011 00- ---", None,   None,   IntoAn<Sub, Word, FromReg>) \
  FORM(00143, "1001 --- 111 00- ---", None,   None,   IntoAn<Sub, Long, FromReg>) \
  FORM(00144, "1001 --- 011 eee eee", AnyMem, None,   IntoAn<Sub, Word, FromEa>) \
  FORM(00145, "1001 --- 111 eee eee", AnyMem, None,   IntoAn<Sub, Long, FromEa>) \
  FORM(00113, "1011 --- 000 000 ---", None,   None,   IntoDn<Compare, Byte, FromReg>) \
  FORM(00114, "1011 --- 001 00- ---", None,   None,   IntoDn<Compare, Word, FromReg>) \
  FORM(00115, "1011 --- 010 00- ---", None,   None,   IntoDn<Compare, Long, FromReg>) \
  FORM(00116, "1011 --- 000 eee eee", AnyMem, None,   IntoDn<Compare, Byte, FromEa>) \
  FORM(00117, "1011 --- 001 eee eee", AnyMem, None,   IntoDn<Compare, Word, FromEa>) \
  FORM(00118, "1011 --- 010 eee eee", AnyMem, None,   IntoDn<Compare, Long, FromEa>) \
  FORM(00119, "1011 --- 011 00- ---", None,   None,   IntoAn<Compare, Word, FromReg>) \
  FORM(00120, "1011 --- 111 00- ---", None,   None,   IntoAn<Compare, Long, FromReg>) \
  FORM(00121, "1011 --- 011 eee eee", AnyMem, None,   IntoAn<Compare, Word, FromEa>) \
  FORM(00122, "1011 --- 111 eee eee", AnyMem, None,   IntoAn<Compare, Long, FromEa>) \
  FORM(00000, "0000 0110 00 000 ---", None,   None,   ImmediateToDn<Add, Byte>) \
  FORM(00001, "0000 0110 01 000 ---", None,   None,   ImmediateToDn<Add, Word>) \
  FORM(00002, "0000 0110 10 000 ---", None,   None,   ImmediateToDn<Add, Long>) \
  FORM(00003, "0000 0110 00 eee eee", AltMem, None,   ImmediateToMemory<Add, Byte>) \
  FORM(00004, "0000 0110 01 eee eee", AltMem, None,   ImmediateToMemory<Add, Word>) \
  FORM(00005, "0000 0110 10 eee eee", AltMem, None,   ImmediateToMemory<Add, Long>) \
  FORM(00146, "0000 0100 00 000 ---", None,   None,   ImmediateToDn<Sub, Byte>) \
  FORM(00147, "0000 0100 01 000 ---", None,   None,   ImmediateToDn<Sub, Word>) \
  FORM(00148, "0000 0100 10 000 ---", None,   None,   ImmediateToDn<Sub, Long>) \
  FORM(00149, "0000 0100 00 eee eee", AltMem, None,   ImmediateToMemory<Sub, Byte>) \
  FORM(00150, "0000 0100 01 eee eee", AltMem, None,   ImmediateToMemory<Sub, Word>) \
  FORM(00151, "0000 0100 10 eee eee", AltMem, None,   ImmediateToMemory<Sub, Long>) \
  FORM(00123, "0000 1100 00 000 ---", None,   None,   ImmediateToDn<Compare, Byte>) \
  FORM(00124, "0000 1100 01 000 ---", None,   None,   ImmediateToDn<Compare, Word>) \
  FORM(00125, "0000 1100 10 000 ---", None,   None,   ImmediateToDn<Compare, Long>) \
  FORM(00126, "0000 1100 00 eee eee", AnyMem, None,   ImmediateToMemory<Compare, Byte>) \
  FORM(00127, "0000 1100 01 eee eee", AnyMem, None,   ImmediateToMemory<Compare, Word>) \
  FORM(00128, "0000 1100 10 eee eee", AnyMem, None,   ImmediateToMemory<Compare, Long>) \
  FORM(00019, "0101 --- 000 000 ---", None,   None,   QuickToDn<Add, Byte>) \
  FORM(00020, "0101 --- 001 000 ---", None,   None,   QuickToDn<Add, Word>) \
  FORM(00021, "0101 --- 010 000 ---", None,   None,   QuickToDn<Add, Long>) \
  FORM(00022, "0101 --- 001 001 ---", None,   None,   QuickToAn<Add>) \
  ALSO(00022, "0101 --- 010 001 ---", None,   None,   QuickToAn<Add>) \
  FORM(00023, "0101 --- 000 eee eee", AltMem, None,   QuickToMemory<Add, Byte>) \
  FORM(00024, "0101 --- 001 eee eee", AltMem, None,   QuickToMemory<Add, Word>) \
  FORM(00025, "0101 --- 010 eee eee", AltMem, None,   QuickToMemory<Add, Long>) \
  FORM(00152, "0101 --- 100 000 ---", None,   None,   QuickToDn<Sub, Byte>) \
  FORM(00153, "0101 --- 101 000 ---", None,   None,   QuickToDn<Sub, Word>) \
  FORM(00154, "0101 --- 110 000 ---", None,   None,   QuickToDn<Sub, Long>) \
  FORM(00155, "0101 --- 101 001 ---", None,   None,   QuickToAn<Sub>) \
  ALSO(00155, "0101 --- 110 001 ---", None,   None,   QuickToAn<Sub>) \
  FORM(00156, "0101 --- 100 eee eee", AltMem, None,   QuickToMemory<Sub, Byte>) \
  FORM(00157, "0101 --- 101 eee eee", AltMem, None,   QuickToMemory<Sub, Word>) \
  FORM(00158, "0101 --- 110 eee eee", AltMem, None,   QuickToMemory<Sub, Long>) \
  FORM(00357, "1011 --- 100 001 ---", None,   None,   CompareMemory<Byte>) \
  FORM(00358, "1011 --- 101 001 ---", None,   None,   CompareMemory<Word>) \
  FORM(00359, "1011 --- 110 001 ---", None,   None,   CompareMemory<Long>) \
  FORM(00202, "0100 0100 00 000 ---", None,   None,   Unary<Negate, Byte, ToDn>) \
  FORM(00203, "0100 0100 00 eee eee", AltMem, None,   Unary<Negate, Byte, ToMem>) \
  FORM(00204, "0100 0100 01 000 ---", None,   None,   Unary<Negate, Word, ToDn>) \
  FORM(00205, "0100 0100 01 eee eee", AltMem, None,   Unary<Negate, Word, ToMem>) \
  FORM(00206, "0100 0100 10 000 ---", None,   None,   Unary<Negate, Long, ToDn>) \
  FORM(00207, "0100 0100 10 eee eee", AltMem, None,   Unary<Negate, Long, ToMem>) \
  /* Extended arithmetic */ \
  FORM(00360, "1101 --- 100 000 ---", None,   None,   ExtendedRegister<AddExtended, Byte>) \
  FORM(00361, "1101 --- 100 001 ---", None,   None,   ExtendedMemory<AddExtended, Byte>) \
  FORM(00362, "1101 --- 101 000 ---", None,   None,   ExtendedRegister<AddExtended, Word>) \
  FORM(00363, "1101 --- 101 001 ---", None,   None,   ExtendedMemory<AddExtended, Word>) \
  FORM(00364, "1101 --- 110 000 ---", None,   None,   ExtendedRegister<AddExtended, Long>) \
  FORM(00365, "1101 --- 110 001 ---", None,   None,   ExtendedMemory<AddExtended, Long>) \
  FORM(00366, "1001 --- 100 000 ---", None,   None,   ExtendedRegister<SubExtended, Byte>) \
  FORM(00367, "1001 --- 100 001 ---", None,   None,   ExtendedMemory<SubExtended, Byte>) \
  FORM(00368, "1001 --- 101 000 ---", None,   None,   ExtendedRegister<SubExtended, Word>) \
  FORM(00369, "1001 --- 101 001 ---", None,   None,   ExtendedMemory<SubExtended, Word>) \
  FORM(00370, "1001 --- 110 000 ---", None,   None,   ExtendedRegister<SubExtended, Long>) \
  FORM(00371, "1001 --- 110 001 ---", None,   None,   ExtendedMemory<SubExtended, Long>) \
  FORM(00372, "0100 0000 00 000 ---", None,   None,   Unary<NegateExtended, Byte, ToDn>) \
  FORM(00373, "0100 0000 00 eee eee", AltMem, None,   Unary<NegateExtended, Byte, ToMem>) \
  FORM(00374, "0100 0000 01 000 ---", None,   None,   Unary<NegateExtended, Word, ToDn>) \
  FORM(00375, "0100 0000 01 eee eee", AltMem, None,   Unary<NegateExtended, Word, ToMem>) \
  FORM(00376, "0100 0000 10 000 ---", None,   None,   Unary<NegateExtended, Long, ToDn>) \
  FORM(00377, "0100 0000 10 eee eee", AltMem, None,   Unary<NegateExtended, Long, ToMem>) \
  /* Multiply and divide */ \
  FORM(00131, "1100 --- 011 000 ---", None,   None,   MultiplyWord<Unsigned, FromReg>) \
  FORM(00132, "1100 --- 011 eee eee", AnyMem, None,   MultiplyWord<Unsigned, FromEa>) \
  FORM(00129, "1100 --- 111 000 ---", None,   None,   MultiplyWord<Signed, FromReg>) \
  FORM(00130, "1100 --- 111 eee eee", AnyMem, None,   MultiplyWord<Signed, FromEa>) \
  FORM(00208, "1000 --- 011 000 ---", None,   None,   DivideWord<Unsigned, FromReg>) \
  FORM(00209, "1000 --- 011 eee eee", AnyMem, None,   DivideWord<Unsigned, FromEa>) \
  FORM(00354, "1000 --- 111 000 ---", None,   None,   DivideWord<Signed, FromReg>) \
  FORM(00355, "1000 --- 111 eee eee", AnyMem, None,   DivideWord<Signed, FromEa>) \
  FORM(00387, "0100 1100 00 000 ---", None,   None,   MultiplyLong<FromReg>) \
  FORM(00386, "0100 1100 00 eee eee", AnyMem, None,   MultiplyLong<FromEa>) \
  FORM(00385, "0100 1100 01 000 ---", None,   None,   DivideLong<FromReg>) \
  FORM(00384, "0100 1100 01 eee eee", AnyMem, None,   DivideLong<FromEa>) \
  /* Decimal arithmetic */ \
  FORM(00378, "1100 --- 100 000 ---", None,   None,   ExtendedRegister<AddDecimal, Byte>) \
  FORM(00379, "1100 --- 100 001 ---", None,   None,   ExtendedMemory<AddDecimal, Byte>) \
  FORM(00380, "1000 --- 100 000 ---", None,   None,   ExtendedRegister<SubDecimal, Byte>) \
  FORM(00381, "1000 --- 100 001 ---", None,   None,   ExtendedMemory<SubDecimal, Byte>) \
  FORM(00382, "0100 1000 00 000 ---", None,   None,   Unary<NegateDecimal, Byte, ToDn>) \
  FORM(00383, "0100 1000 00 eee eee", AltMem, None,   Unary<NegateDecimal, Byte, ToMem>) \
  /* Logical operations */ \
  FORM(00210, "1100 --- 000 000 ---", None,   None,   IntoDn<And, Byte, FromReg>) \
  FORM(00211, "1100 --- 001 000 ---", None,   None,   IntoDn<And, Word, FromReg>) \
  FORM(00212, "1100 --- 010 000 ---", None,   None,   IntoDn<And, Long, FromReg>) \
  FORM(00213, "1100 --- 000 eee eee", AnyMem, None,   IntoDn<And, Byte, FromEa>) \
  FORM(00214, "1100 --- 001 eee eee", AnyMem, None,   IntoDn<And, Word, FromEa>) \
  FORM(00215, "1100 --- 010 eee eee", AnyMem, None,   IntoDn<And, Long, FromEa>) \
  FORM(00216, "1100 --- 100 eee eee", AltMem, None,   DnToMemory<And, Byte>) \
  FORM(00217, "1100 --- 101 eee eee", AltMem, None,   DnToMemory<And, Word>) \
  FORM(00218, "1100 --- 110 eee eee", AltMem, None,   DnToMemory<And, Long>) \
  FORM(00225, "1000 --- 000 000 ---", None,   None,   IntoDn<Or, Byte, FromReg>) \
  FORM(00226, "1000 --- 001 000 ---", None,   None,   IntoDn<Or, Word, FromReg>) \
  FORM(00227, "1000 --- 010 000 ---", None,   None,   IntoDn<Or, Long, FromReg>) \
  FORM(00228, "1000 --- 000 eee eee", AnyMem, None,   IntoDn<Or, Byte, FromEa>) \
  FORM(00229, "1000 --- 001 eee eee", AnyMem, None,   IntoDn<Or, Word, FromEa>) \
  FORM(00230, "1000 --- 010 eee eee", AnyMem, None,   IntoDn<Or, Long, FromEa>) \
  FORM(00231, "1000 --- 100 eee eee", AltMem, None,   DnToMemory<Or, Byte>) \
  FORM(00232, "1000 --- 101 eee eee", AltMem, None,   DnToMemory<Or, Word>) \
  FORM(00233, "1000 --- 110 eee eee", AltMem, None,   DnToMemory<Or, Long>) \
  FORM(00240, "1011 --- 100 000 ---", None,   None,   ExclusiveOrToDn<Byte>) \
  FORM(00241, "1011 --- 101 000 ---", None,   None,   ExclusiveOrToDn<Word>) \
  FORM(00242, "1011 --- 110 000 ---", None,   None,   ExclusiveOrToDn<Long>) \
  FORM(00243, "1011 --- 100 eee eee", AltMem, None,   DnToMemory<ExclusiveOr, Byte>) \
  FORM(00244, "1011 --- 101 eee eee", AltMem, None,   DnToMemory<ExclusiveOr, Word>) \
  FORM(00245, "1011 --- 110 eee eee", AltMem, None,   DnToMemory<ExclusiveOr, Long>) \
  FORM(00219, "0000 0010 00 000 ---", None,   None,   ImmediateToDn<And, Byte>) \
  FORM(00220, "0000 0010 01 000 ---", None,   None,   ImmediateToDn<And, Word>) \
  FORM(00221, "0000 0010 10 000 ---", None,   None,   ImmediateToDn<And, Long>) \
  FORM(00222, "0000 0010 00 eee eee", AltMem, None,   ImmediateToMemory<And, Byte>) \
  FORM(00223, "0000 0010 01 eee eee", AltMem, None,   ImmediateToMemory<And, Word>) \
  FORM(00224, "0000 0010 10 eee eee", AltMem, None,   ImmediateToMemory<And, Long>) \
  FORM(00234, "0000 0000 00 000 ---", None,   None,   ImmediateToDn<Or, Byte>) \
  FORM(00235, "0000 0000 01 000 ---", None,   None,   ImmediateToDn<Or, Word>) \
  FORM(00236, "0000 0000 10 000 ---", None,   None,   ImmediateToDn<Or, Long>) \
  FORM(00237, "0000 0000 00 eee eee", AltMem, None,   ImmediateToMemory<Or, Byte>) \
  FORM(00238, "0000 0000 01 eee eee", AltMem, None,   ImmediateToMemory<Or, Word>) \
  FORM(00239, "0000 0000 10 eee eee", AltMem, None,   ImmediateToMemory<Or, Long>) \
  FORM(00246, "0000 1010 00 000 ---", None,   None,   ImmediateToDn<ExclusiveOr, Byte>) \
  FORM(00247, "0000 1010 01 000 ---", None,   None,   ImmediateToDn<ExclusiveOr, Word>) \
  FORM(00248, "0000 1010 10 000 ---", None,   None,   ImmediateToDn<ExclusiveOr, Long>) \
  FORM(00249, "0000 1010 00 eee eee", AltMem, None,   ImmediateToMemory<ExclusiveOr, Byte>) \
  FORM(00250, "0000 1010 01 eee eee", AltMem, None,   ImmediateToMemory<ExclusiveOr, Word>) \
  FORM(00251, "0000 1010 10 eee eee", AltMem, None,   ImmediateToMemory<ExclusiveOr, Long>) \
  FORM(00305, "0100 0110 00 000 ---", None,   None,   Unary<Complement, Byte, ToDn>) \
  FORM(00306, "0100 0110 00 eee eee", AltMem, None,   Unary<Complement, Byte, ToMem>) \
  FORM(00307, "0100 0110 01 000 ---", None,   None,   Unary<Complement, Word, ToDn>) \
  FORM(00308, "0100 0110 01 eee eee", AltMem, None,   Unary<Complement, Word, ToMem>) \
  FORM(00309, "0100 0110 10 000 ---", None,   None,   Unary<Complement, Long, ToDn>) \
  FORM(00310, "0100 0110 10 eee eee", AltMem, None,   Unary<Complement, Long, ToMem>) \
  /* Shifts and rotates */ \
  FORM(00274, "1110 --- 1 00 000 ---", None,   None,   ShiftRegister<ArithmeticShift, Left, Byte, CountImmediate>) \
  FORM(00273, "1110 --- 1 00 100 ---", None,   None,   ShiftRegister<ArithmeticShift, Left, Byte, CountInRegister>) \
  FORM(00276, "1110 --- 1 01 000 ---", None,   None,   ShiftRegister<ArithmeticShift, Left, Word, CountImmediate>) \
  FORM(00275, "1110 --- 1 01 100 ---", None,   None,   ShiftRegister<ArithmeticShift, Left, Word, CountInRegister>) \
  FORM(00278, "1110 --- 1 10 000 ---", None,   None,   ShiftRegister<ArithmeticShift, Left, Long, CountImmediate>) \
  FORM(00277, "1110 --- 1 10 100 ---", None,   None,   ShiftRegister<ArithmeticShift, Left, Long, CountInRegister>) \
  FORM(00260, "1110 --- 0 00 000 ---", None,   None,   ShiftRegister<ArithmeticShift, Right, Byte, CountImmediate>) \
  FORM(00259, "1110 --- 0 00 100 ---", None,   None,   ShiftRegister<ArithmeticShift, Right, Byte, CountInRegister>) \
  FORM(00262, "1110 --- 0 01 000 ---", None,   None,   ShiftRegister<ArithmeticShift, Right, Word, CountImmediate>) \
  FORM(00261, "1110 --- 0 01 100 ---", None,   None,   ShiftRegister<ArithmeticShift, Right, Word, CountInRegister>) \
  FORM(00264, "1110 --- 0 10 000 ---", None,   None,   ShiftRegister<ArithmeticShift, Right, Long, CountImmediate>) \
  FORM(00263, "1110 --- 0 10 100 ---", None,   None,   ShiftRegister<ArithmeticShift, Right, Long, CountInRegister>) \
  FORM(00267, "1110 --- 1 00 001 ---", None,   None,   ShiftRegister<LogicalShift, Left, Byte, CountImmediate>) \
  FORM(00266, "1110 --- 1 00 101 ---", None,   None,   ShiftRegister<LogicalShift, Left, Byte, CountInRegister>) \
  FORM(00269, "1110 --- 1 01 001 ---", None,   None,   ShiftRegister<LogicalShift, Left, Word, CountImmediate>) \
  FORM(00268, "1110 --- 1 01 101 ---", None,   None,   ShiftRegister<LogicalShift, Left, Word, CountInRegister>) \
  FORM(00271, "1110 --- 1 10 001 ---", None,   None,   ShiftRegister<LogicalShift, Left, Long, CountImmediate>) \
  FORM(00270, "1110 --- 1 10 101 ---", None,   None,   ShiftRegister<LogicalShift, Left, Long, CountInRegister>) \
  FORM(00253, "1110 --- 0 00 001 ---", None,   None,   ShiftRegister<LogicalShift, Right, Byte, CountImmediate>) \
  FORM(00252, "1110 --- 0 00 101 ---", None,   None,   ShiftRegister<LogicalShift, Right, Byte, CountInRegister>) \
  FORM(00255, "1110 --- 0 01 001 ---", None,   None,   ShiftRegister<LogicalShift, Right, Word, CountImmediate>) \
  FORM(00254, "1110 --- 0 01 101 ---", None,   None,   ShiftRegister<LogicalShift, Right, Word, CountInRegister>) \
  FORM(00257, "1110 --- 0 10 001 ---", None,   None,   ShiftRegister<LogicalShift, Right, Long, CountImmediate>) \
  FORM(00256, "1110 --- 0 10 101 ---", None,   None,   ShiftRegister<LogicalShift, Right, Long, CountInRegister>) \
  FORM(00293, "1110 --- 1 00 011 ---", None,   None,   ShiftRegister<Rotate, Left, Byte, CountImmediate>) \
  FORM(00292, "1110 --- 1 00 111 ---", None,   None,   ShiftRegister<Rotate, Left, Byte, CountInRegister>) \
  FORM(00295, "1110 --- 1 01 011 ---", None,   None,   ShiftRegister<Rotate, Left, Word, CountImmediate>) \
  FORM(00294, "1110 --- 1 01 111 ---", None,   None,   ShiftRegister<Rotate, Left, Word, CountInRegister>) \
  FORM(00297, "1110 --- 1 10 011 ---", None,   None,   ShiftRegister<Rotate, Left, Long, CountImmediate>) \
  FORM(00296, "1110 --- 1 10 111 ---", None,   None,   ShiftRegister<Rotate, Left, Long, CountInRegister>) \
  FORM(00281, "1110 --- 0 00 011 ---", None,   None,   ShiftRegister<Rotate, Right, Byte, CountImmediate>) \
  FORM(00280, "1110 --- 0 00 111 ---", None,   None,   ShiftRegister<Rotate, Right, Byte, CountInRegister>) \
  FORM(00283, "1110 --- 0 01 011 ---", None,   None,   ShiftRegister<Rotate, Right, Word, CountImmediate>) \
  FORM(00282, "1110 --- 0 01 111 ---", None,   None,   ShiftRegister<Rotate, Right, Word, CountInRegister>) \
  FORM(00285, "1110 --- 0 10 011 ---", None,   None,   ShiftRegister<Rotate, Right, Long, CountImmediate>) \
  FORM(00284, "1110 --- 0 10 111 ---", None,   None,   ShiftRegister<Rotate, Right, Long, CountInRegister>) \
  FORM(00299, "1110 --- 1 00 010 ---", None,   None,   ShiftRegister<RotateExtended, Left, Byte, CountImmediate>) \
  FORM(00298, "1110 --- 1 00 110 ---", None,   None,   ShiftRegister<RotateExtended, Left, Byte, CountInRegister>) \
  FORM(00301, "1110 --- 1 01 010 ---", None,   None,   ShiftRegister<RotateExtended, Left, Word, CountImmediate>) \
  FORM(00300, "1110 --- 1 01 110 ---", None,   None,   ShiftRegister<RotateExtended, Left, Word, CountInRegister>) \
  FORM(00303, "1110 --- 1 10 010 ---", None,   None,   ShiftRegister<RotateExtended, Left, Long, CountImmediate>) \
  FORM(00302, "1110 --- 1 10 110 ---", None,   None,   ShiftRegister<RotateExtended, Left, Long, CountInRegister>) \
  FORM(00287, "1110 --- 0 00 010 ---", None,   None,   ShiftRegister<RotateExtended, Right, Byte, CountImmediate>) \
  FORM(00286, "1110 --- 0 00 110 ---", None,   None,   ShiftRegister<RotateExtended, Right, Byte, CountInRegister>) \
  FORM(00289, "1110 --- 0 01 010 ---", None,   None,   ShiftRegister<RotateExtended, Right, Word, CountImmediate>) \
  FORM(00288, "1110 --- 0 01 110 ---", None,   None,   ShiftRegister<RotateExtended, Right, Word, CountInRegister>) \
  FORM(00291, "1110 --- 0 10 010 ---", None,   None,   ShiftRegister<RotateExtended, Right, Long, CountImmediate>) \
  FORM(00290, "1110 --- 0 10 110 ---", None,   None,   ShiftRegister<RotateExtended, Right, Long, CountInRegister>) \
  FORM(00279, "1110 000 1 11 eee eee", AltMem, None,   ShiftMemory<ArithmeticShift, Left>) \
  FORM(00265, "1110 000 0 11 eee eee", AltMem, None,   ShiftMemory<ArithmeticShift, Right>) \
  FORM(00272, "1110 001 1 11 eee eee", AltMem, None,   ShiftMemory<LogicalShift, Left>) \
  FORM(00258, "1110 001 0 11 eee eee", AltMem, None,   ShiftMemory<LogicalShift, Right>) \
  /* Bit operations */ \
  FORM(00315, "0000 --- 100 000 ---", None,   None,   BitOperation<BitTest, BitNumberInRegister, ToDn>) \
  FORM(00316, "0000 1000 00 000 ---", None,   None,   BitOperation<BitTest, BitNumberImmediate, ToDn>) \
  FORM(00317, "0000 --- 100 eee eee", AnyMem, None,   BitOperation<BitTest, BitNumberInRegister, ToMem>) \
  FORM(00318, "0000 1000 00 eee eee", AnyMem, None,   BitOperation<BitTest, BitNumberImmediate, ToMem>) \
  FORM(00323, "0000 --- 101 000 ---", None,   None,   BitOperation<BitChange, BitNumberInRegister, ToDn>) \
  FORM(00324, "0000 1000 01 000 ---", None,   None,   BitOperation<BitChange, BitNumberImmediate, ToDn>) \
  FORM(00325, "0000 --- 101 eee eee", AltMem, None,   BitOperation<BitChange, BitNumberInRegister, ToMem>) \
  FORM(00326, "0000 1000 01 eee eee", AltMem, None,   BitOperation<BitChange, BitNumberImmediate, ToMem>) \
  FORM(00319, "0000 --- 110 000 ---", None,   None,   BitOperation<BitClear, BitNumberInRegister, ToDn>) \
  FORM(00320, "0000 1000 10 000 ---", None,   None,   BitOperation<BitClear, BitNumberImmediate, ToDn>) \
  FORM(00321, "0000 --- 110 eee eee", AltMem, None,   BitOperation<BitClear, BitNumberInRegister, ToMem>) \
  FORM(00322, "0000 1000 10 eee eee", AltMem, None,   BitOperation<BitClear, BitNumberImmediate, ToMem>) \
  FORM(00311, "0000 --- 111 000 ---", None,   None,   BitOperation<BitSet, BitNumberInRegister, ToDn>) \
  FORM(00312, "0000 1000 11 000 ---", None,   None,   BitOperation<BitSet, BitNumberImmediate, ToDn>) \
  FORM(00313, "0000 --- 111 eee eee", AltMem, None,   BitOperation<BitSet, BitNumberInRegister, ToMem>) \
  FORM(00314, "0000 1000 11 eee eee", AltMem, None,   BitOperation<BitSet, BitNumberImmediate, ToMem>) \
  /* Condition codes and status register */ \
  FORM(00343, "0000 0000 0011 1100", None,   None,   ImmediateToConditionCodes<Or>) \
  FORM(00345, "0000 0010 0011 1100", None,   None,   ImmediateToConditionCodes<And>) \
  FORM(00344, "0000 1010 0011 1100", None,   None,   ImmediateToConditionCodes<ExclusiveOr>) \
  FORM(00346, "0100 0010 11 000 ---", None,   None,   MoveFromStatus<ConditionCodes, ToDn>) \
  FORM(00347, "0100 0010 11 eee eee", AltMem, None,   MoveFromStatus<ConditionCodes, ToMem>) \
  FORM(00348, "0100 0000 11 000 ---", None,   None,   MoveFromStatus<StatusRegister, ToDn>) \
  FORM(00349, "0100 0000 11 eee eee", AltMem, None,   MoveFromStatus<StatusRegister, ToMem>) \
  FORM(00352, "0100 0100 11 000 ---", None,   None,   MoveToStatus<ConditionCodes, FromReg>) \
  FORM(00353, "0100 0100 11 eee eee", AnyMem, None,   MoveToStatus<ConditionCodes, FromEa>) \
  FORM(00350, "0100 0110 11 000 ---", None,   None,   MoveToStatus<StatusRegister, FromReg>) \
  FORM(00351, "0100 0110 11 eee eee", AnyMem, None,   MoveToStatus<StatusRegister, FromEa>) \

