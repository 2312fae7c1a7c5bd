| The absolute address of a routine in code: a relocation that 'code' 1
| cannot carry.
	.section .text.start,"ax",@progbits
	.globl	_start
_start:
	move.l	#target,%a0
	jsr	(%a0)
	rts
	.section .text.target,"ax",@progbits
target:
	rts

	.section .note.GNU-stack,"",@progbits
