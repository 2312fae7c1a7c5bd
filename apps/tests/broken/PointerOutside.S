| A pointer that leads neither into the code nor into the globals.
	.section .text.start,"ax",@progbits
	.globl	_start
_start:
	move.l	far@GOT(%a5),%a0
	rts
	.data
far:
	.long	_start+0x100000

	.section .note.GNU-stack,"",@progbits
