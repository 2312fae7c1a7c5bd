| The entry of 'code' 1, at offset 0: SysAppStartup, then PilotMain (or
| PilotMainNoGlobals when the launch made no globals world: A5 = 0), then
| SysAppExit. The result of the entry function goes back in D0. This code
| touches no globals.

	.section .text.start,"ax",@progbits
	.globl	_start
	.type	_start,@function
_start:
	link.w	%a6,#-12			| -4 info, -8 previous globals, -12 globals
	move.l	%d3,-(%sp)
	pea	-12(%a6)
	pea	-8(%a6)
	pea	-4(%a6)
	trap	#15
	.short	0xA08F				| SysAppStartup
	lea	12(%sp),%sp
	tst.w	%d0
	bne.s	.Lfailed
	move.l	-4(%a6),%a0
	move.w	6(%a0),-(%sp)			| launchFlags
	move.l	2(%a0),-(%sp)			| cmdPBP
	move.w	(%a0),-(%sp)			| cmd
	move.l	%a5,%d0
	beq.s	.Lwithout_globals
	bsr.w	PilotMain
	bra.s	.Lexit
.Lwithout_globals:
	bsr.w	PilotMainNoGlobals
.Lexit:
	addq.l	#8,%sp
	move.l	%d0,%d3
	move.l	-12(%a6),-(%sp)
	move.l	-8(%a6),-(%sp)
	move.l	-4(%a6),-(%sp)
	trap	#15
	.short	0xA090				| SysAppExit
	lea	12(%sp),%sp
	move.l	%d3,%d0
	bra.s	.Ldone
.Lfailed:
	andi.l	#0xFFFF,%d0			| the start-up error as the result
.Ldone:
	move.l	(%sp)+,%d3
	unlk	%a6
	rts
	.size	_start,.-_start

	.section .note.GNU-stack,"",@progbits
