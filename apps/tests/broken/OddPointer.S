| A pointer stored at an odd address of the globals.
	.section .text.start,"ax",@progbits
	.globl	_start
_start:
	rts
	.data
	.byte	1
	.long	_start

	.section .note.GNU-stack,"",@progbits
