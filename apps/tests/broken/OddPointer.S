| A pointer stored at an odd address of the globals.
	.section .text.start,"ax",@progbits
	.globl	_start
_start:
	move.l	odd@GOT(%a5),%a0
	rts
	.data
	.byte	1
odd:
	.long	_start

	.section .note.GNU-stack,"",@progbits
