/* A switch-heavy interpreter: a small stack machine running a bytecode
   program (an iterative Fibonacci with a checksum loop). */
#include "support/program.h"

enum { PUSH, LOAD, STORE, ADD, SUB, MUL, DUP, SWAP, JNZ, JMP, LT, XOR, SHL, SHR, DEC, HALT };

static const uint8_t code[] = {
    PUSH, 0,  STORE, 0,       /* a = 0 */
    PUSH, 1,  STORE, 1,       /* b = 1 */
    PUSH, 40, STORE, 2,       /* n = 40 */
    PUSH, 0,  STORE, 3,       /* sum = 0 */
    /* loop at 16 */
    LOAD, 0,  LOAD,  1, ADD, /* a + b */
    LOAD, 1,  STORE, 0,      /* a = b */
    STORE, 1,                /* b = a + b */
    LOAD, 3,  PUSH, 5, SHL, LOAD, 3, PUSH, 3, SHR, XOR, LOAD, 1, XOR, STORE, 3,
    LOAD, 2,  DEC,   DUP, STORE, 2, JNZ, 16,
    LOAD, 3,  LOAD,  0, MUL, LOAD, 1, SUB, HALT};

static uint32_t run(uint32_t seed) {
  uint32_t stack[16], vars[4] = {0, 0, 0, 0};
  unsigned sp = 0, pc = 0;
  for (;;) {
    uint8_t op = code[pc++];
    switch (op) {
      case PUSH: stack[sp++] = code[pc++] + seed; break;
      case LOAD: stack[sp++] = vars[code[pc++]]; break;
      case STORE: vars[code[pc++]] = stack[--sp]; break;
      case ADD: --sp; stack[sp - 1] += stack[sp]; break;
      case SUB: --sp; stack[sp - 1] -= stack[sp]; break;
      case MUL: --sp; stack[sp - 1] *= stack[sp]; break;
      case DUP: stack[sp] = stack[sp - 1]; ++sp; break;
      case SWAP: { uint32_t t = stack[sp - 1]; stack[sp - 1] = stack[sp - 2]; stack[sp - 2] = t; break; }
      case JNZ: { uint8_t target = code[pc++]; if (stack[--sp]) pc = target; break; }
      case JMP: pc = code[pc]; break;
      case LT: --sp; stack[sp - 1] = stack[sp - 1] < stack[sp]; break;
      case XOR: --sp; stack[sp - 1] ^= stack[sp]; break;
      case SHL: --sp; stack[sp - 1] <<= stack[sp] & 31; break;
      case SHR: --sp; stack[sp - 1] >>= stack[sp] & 31; break;
      case DEC: stack[sp - 1] -= 1; break;
      case HALT: return stack[sp - 1];
      default: return 0xDEAD;
    }
    if (vars[2] > 1000) return 0xBAD;
  }
}

PROGRAM_ENTRY {
  uint32_t sum = 0;
  for (uint32_t round = 0; round < ITERATIONS; ++round)
    for (uint32_t seed = 0; seed < 4; ++seed) sum = mix(sum, run(seed * (round + 1) & 1));
  return sum;
}
