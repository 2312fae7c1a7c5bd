/* A flat image: the entry function first, then code, constants, data and
   zero data. The programs are position independent; the base is set twice at
   build time to prove it. */
SECTIONS {
  . = BASE;
  .text : { KEEP(*(.text.entry)) *(.text .text.*) }
  .rodata : { *(.rodata .rodata.*) }
  .data : { *(.data .data.*) }
  .bss : { *(.bss .bss.*) *(COMMON) }
  /DISCARD/ : { *(.comment) *(.note*) *(.eh_frame*) }
}
