/* A flat image: the start routine when there is one, then the entry
   function, code, constants and data; zero data follows the image. The
   programs are position independent; the base is set twice at build time to
   prove it. */
SECTIONS {
  . = BASE;
  .text : { KEEP(*(.text.start)) KEEP(*(.text.entry)) *(.text .text.*) }
  .rodata : { *(.rodata .rodata.*) }
  .data : { *(.data .data.*) }
  .bss : { *(.bss .bss.*) *(COMMON) }
  /DISCARD/ : { *(.comment) *(.note*) *(.eh_frame*) }
}
