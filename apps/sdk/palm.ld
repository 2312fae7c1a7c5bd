/* Layout of a Palm application: instructions, then read-only data, at 0
   become 'code' 1 (the start-up code first, so the entry is at offset 0);
   .data and .bss lie below A5 and the GOT starts at A5 (also when .data is
   empty). The data address only keeps globals apart from code; the PRC
   builder turns every pointer into an entry of relocation list 1 (into the
   globals) or 2 (into the code). Gaps in code are filled with NOP so that
   the code scan can walk it. */
OUTPUT_FORMAT("elf32-m68k")
OUTPUT_ARCH(m68k)
ENTRY(_start)
SECTIONS
{
  .text 0 : {
    KEEP(*(.text.start))
    *(.text .text.*)
    __text_end = .;
    *(.rodata .rodata.*)
  } =0x4E71
  . = 0x40000000;
  .data : { *(.data .data.*) }
  .bss : { *(.bss .bss.*) *(COMMON) }
  .got : { __a5 = .; *(.got.plt) *(.got) }
  /DISCARD/ : { *(.comment) *(.note .note.*) *(.eh_frame .eh_frame_hdr) }
}
