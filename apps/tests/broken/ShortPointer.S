| A 16-bit absolute address in the globals: no relocation list can carry it.
	.section .text.start,"ax",@progbits
	.globl	_start
_start:
	move.l	half@GOT(%a5),%a0
	rts
	.data
half:
	.word	_start

	.section .note.GNU-stack,"",@progbits
