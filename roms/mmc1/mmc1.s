; MMC1 (mapper 1) test cartridge. Loads the registers through the serial port, then checks what
; the program windows show in the three PRG modes (by the marker byte at the start of every
; 8 KB bank), what the pattern tables show in the 8 KB and 4 KB CHR modes (every 4 KB CHR bank
; is filled with its own number), the reset bit, and the four mirroring modes.
;
; Result at $0300: $00 while running, $01 when every check passed, $80 + n when check n failed.
; The screen turns green on a pass and red on a failure.

PPUCTRL   = $2000
PPUMASK   = $2001
PPUSTATUS = $2002
PPUSCROLL = $2005
PPUADDR   = $2006
PPUDATA   = $2007
RESULT    = $0300

COLOUR_PASS = $1A
COLOUR_FAIL = $16

.macpack longbranch

.import __RAMCODE_LOAD__, __RAMCODE_RUN__, __RAMCODE_SIZE__

.segment "HEADER"
    .byte "NES", $1A
    .byte 8                 ; 8 x 16 KB program ROM
    .byte 4                 ; 4 x 8 KB pattern ROM
    .byte $10, $00          ; mapper 1, horizontal mirroring
    .res 8, 0

; Each 16 KB bank k starts with 2k and holds 2k + 1 at its second 8 KB half: the 8 KB bank
; numbers the windows show.
.macro marker_bank segment_name, bank
    .segment segment_name
    .byte bank * 2
    .res $1FFF, $FF
    .byte bank * 2 + 1
.endmacro

marker_bank "BANK0", 0
marker_bank "BANK1", 1
marker_bank "BANK2", 2
marker_bank "BANK3", 3
marker_bank "BANK4", 4
marker_bank "BANK5", 5
marker_bank "BANK6", 6
.segment "MARK14"
    .byte 14
.segment "MARK15"
    .byte 15

; Eight 4 KB pattern banks, each filled with its own number.
.segment "CHARS"
.repeat 8, i
    .res $1000, i
.endrepeat

.segment "ZEROPAGE"
seen:  .res 4               ; the markers at $8000, $A000, $C000, $E000
check: .res 1               ; the number of the check running
row:   .res 1               ; the probe table offset while a probe runs
want:  .res 2               ; the pattern bytes expect_patterns looks for

; Runs from RAM: these routines switch the window the program runs from.
.segment "RAMCODE"

; A serial load: the five low bits of A, bit 0 first, into the register at `address`.
.macro serial_load name, address
name:
    ldx #5
:   sta address
    lsr a
    dex
    bne :-
    rts
.endmacro

serial_load load_control, $8000
serial_load load_chr0, $A000
serial_load load_chr1, $C000
serial_load load_prg, $E000

; Loads control A and PRG register Y, records the four window markers in `seen`, and returns to
; control $0E: 16 KB switched at $8000 and the last bank, this program, fixed at $C000.
probe:
    jsr load_control
    tya
    jsr load_prg
    lda $8000
    sta seen
    lda $A000
    sta seen + 1
    lda $C000
    sta seen + 2
    lda $E000
    sta seen + 3
    lda #$0E
    jmp load_control

.segment "CODE"

reset:
    sei
    cld
    ldx #$FF
    txs
    inx
    stx PPUCTRL
    stx PPUMASK
    jsr wait_vblank
    txa
:   sta $00, x
    sta $0100, x
    sta $0200, x
    sta $0300, x
    sta $0400, x
    sta $0500, x
    sta $0600, x
    sta $0700, x
    inx
    bne :-
    jsr wait_vblank

    ldx #0
:   lda __RAMCODE_LOAD__, x
    sta __RAMCODE_RUN__, x
    inx
    cpx #<__RAMCODE_SIZE__
    bne :-

    lda #$80                ; reset the serial port and fix the last bank at $C000
    sta $8000

    ; Checks 1-4: the windows of each PRG mode.
    ldx #0
@next_probe:
    inc check
    lda probes, x           ; control
    ldy probes + 1, x       ; PRG register
    stx row
    jsr probe
    ldx row
    ldy #0
:   lda seen, y
    cmp probes + 2, x
    jne fail
    inx
    iny
    cpy #4
    bne :-
    inx
    inx
    cpx #PROBE_BYTES
    bne @next_probe

    ; Check 5: a write with bit 7 set drops the bits collected so far.
    inc check
    lda #1
    sta $E000
    sta $E000
    lda #$80
    sta $E000
    lda #2
    jsr load_prg
    lda $8000
    cmp #4
    jne fail

    ; Check 6: CHR 8 KB mode shows 4 KB banks 2 and 3 for register 1 = 2.
    inc check
    lda #2
    jsr load_chr0
    lda #2
    ldx #3
    jsr expect_patterns

    ; Check 7: CHR 4 KB mode shows registers 1 and 2 separately.
    inc check
    lda #$1E
    jsr load_control
    lda #5
    jsr load_chr0
    lda #6
    jsr load_chr1
    lda #5
    ldx #6
    jsr expect_patterns

    ; Check 8: vertical mirroring ($1E): $2800 is $2000.
    inc check
    lda #$A1
    ldy #$20
    jsr write_ppu
    lda #$B2
    ldy #$24
    jsr write_ppu
    ldy #$28
    jsr read_ppu
    cmp #$A1
    jne fail

    ; Check 9: horizontal mirroring ($1F): $2400 is $2000.
    inc check
    lda #$1F
    jsr load_control
    lda #$C3
    ldy #$20
    jsr write_ppu
    lda #$D4
    ldy #$28
    jsr write_ppu
    ldy #$24
    jsr read_ppu
    cmp #$C3
    jne fail

    ; Check 10: single screen low ($1C): $2C00 is $2000.
    inc check
    lda #$1C
    jsr load_control
    lda #$E5
    ldy #$2C
    jsr write_ppu
    ldy #$20
    jsr read_ppu
    cmp #$E5
    jne fail

    ; Check 11: single screen high ($1D) uses the other table: low still reads $E5.
    inc check
    lda #$1D
    jsr load_control
    lda #$F6
    ldy #$20
    jsr write_ppu
    ldy #$2C
    jsr read_ppu
    cmp #$F6
    jne fail
    lda #$1C
    jsr load_control
    ldy #$20
    jsr read_ppu
    cmp #$E5
    jne fail

    lda #COLOUR_PASS
    jsr show_colour
    lda #$01
    sta RESULT
    jmp idle

fail:
    lda #COLOUR_FAIL
    jsr show_colour
    lda check
    ora #$80
    sta RESULT
idle:
    jmp idle

; Fails the running check unless the pattern bytes at $0000 and $1000 are A and X.
expect_patterns:
    sta want
    stx want + 1
    ldy #$00
    jsr read_ppu
    cmp want
    jne fail
    ldy #$10
    jsr read_ppu
    cmp want + 1
    jne fail
    rts

; Writes A to PPU addresses Y * 256 and the byte after.
write_ppu:
    bit PPUSTATUS
    sty PPUADDR
    ldx #0
    stx PPUADDR
    sta PPUDATA
    sta PPUDATA
    rts

; Reads the byte at PPU address Y * 256 (after the read buffer's stale byte).
read_ppu:
    bit PPUSTATUS
    sty PPUADDR
    ldx #0
    stx PPUADDR
    lda PPUDATA
    lda PPUDATA
    rts

; All 32 palette entries = A, then the background on: the whole screen shows that colour.
show_colour:
    bit PPUSTATUS
    ldx #$3F
    stx PPUADDR
    ldx #$00
    stx PPUADDR
    ldx #32
:   sta PPUDATA
    dex
    bne :-
    lda #0
    sta PPUSCROLL
    sta PPUSCROLL
    sta PPUCTRL
    jsr wait_vblank
    lda #$0A
    sta PPUMASK
    rts

wait_vblank:
    bit PPUSTATUS
    bpl wait_vblank
    rts

nmi:
irq:
    rti

.segment "RODATA"

; control, PRG register, then the 8 KB banks expected at $8000, $A000, $C000, $E000.
probes:
    .byte $0E, 3,   6, 7, 14, 15    ; 16 KB switched at $8000, last fixed at $C000
    .byte $0E, 5,  10, 11, 14, 15
    .byte $0A, 2,   0, 1, 4, 5      ; first 16 KB fixed at $8000, switched at $C000
    .byte $02, 1,   4, 5, 6, 7      ; 32 KB: all four bits select the bank
PROBE_BYTES = * - probes

.segment "VECTORS"
    .word nmi, reset, irq
