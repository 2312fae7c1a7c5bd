| The entry lies two bytes into the code.
	.section .text.start,"ax",@progbits
	nop
	.globl	_start
_start:
	rts

	.section .note.GNU-stack,"",@progbits
