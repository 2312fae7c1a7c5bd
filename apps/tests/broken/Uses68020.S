| EXTB.L exists from the 68020 on.
	.cpu	68020
	.section .text.start,"ax",@progbits
	.globl	_start
_start:
	moveq	#-1,%d0
	extb.l	%d0
	rts

	.section .note.GNU-stack,"",@progbits
