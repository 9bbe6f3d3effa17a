; MMC3 (mapper 4) test cartridge. Checks the program windows of both PRG modes (by the marker
; byte at the start of every 8 KB bank), the pattern pages of R0-R5 with and without the CHR
; invert bit (every 1 KB CHR bank is filled with its own number), both mirroring modes, the
; SRAM enable, and then splits the screen with the scanline interrupt: each frame the NMI
; handler shows CHR bank 0 (blank tiles) and arms the counter, and the IRQ handler switches
; the background to CHR bank 62 (stripes), so the picture is blue above the split and striped
; below it. The split must interrupt exactly once a frame.
;
; Result at $0300: $00 while running, $01 when every check passed, $80 + n when check n failed.
; A failure turns the screen red.

.macpack longbranch

PPUCTRL   = $2000
PPUMASK   = $2001
PPUSTATUS = $2002
PPUSCROLL = $2005
PPUADDR   = $2006
PPUDATA   = $2007
RESULT    = $0300

BANK_SELECT = $8000
BANK_DATA   = $8001
MIRRORING   = $A000
SRAM_ENABLE = $A001
IRQ_LATCH   = $C001
IRQ_DISABLE = $E000
IRQ_ENABLE  = $E001

SPLIT_LATCH = 120           ; scanlines from the top of the frame to the split
TOP_BANK    = 0             ; 1 KB CHR banks: filled with 0 (blank) and $3E (stripes)
BOTTOM_BANK = 62
TEST_FRAMES = 10
COLOUR_BACK = $12
COLOUR_STRIPE = $38
COLOUR_FAIL = $16

.segment "HEADER"
    .byte "NES", $1A
    .byte 8                 ; 8 x 16 KB program ROM
    .byte 8                 ; 8 x 8 KB pattern ROM
    .byte $40, $00          ; mapper 4, horizontal mirroring
    .res 8, 0

; 8 KB banks 0-14, each starting with its number; bank 15 is the program below.
.segment "BANKS"
.repeat 15, i
    .byte i
    .res $1FFF, $FF
.endrepeat

; Sixty-four 1 KB pattern banks, each filled with its own number.
.segment "CHARS"
.repeat 64, i
    .res $400, i
.endrepeat

.segment "ZEROPAGE"
check:  .res 1              ; the number of the check running
want:   .res 2
frames: .res 1              ; frames seen by the NMI handler
irqs:   .res 1              ; interrupts since the last NMI
bad:    .res 1              ; nonzero once a frame had other than one interrupt

.segment "CODE"
    .byte 15                ; this bank's marker at $E000

reset:
    sei
    cld
    ldx #$FF
    txs
    inx
    stx PPUCTRL
    stx PPUMASK
    jsr quiet_wait_vblank
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

    sta IRQ_DISABLE
    ldx #0                  ; R0-R7 = 0, 2, 4, 5, 6, 7, 0, 1: the first 8 KB of CHR, banks 0, 1
    jsr set_banks
    lda #$80
    sta SRAM_ENABLE

    ; Check 1: R6 and R7 at $8000 and $A000, the last two banks fixed.
    inc check
    lda #6
    ldx #3
    jsr bank_write
    lda #7
    ldx #9
    jsr bank_write
    ldx #0
    jsr expect_windows

    ; Check 2: bit 6 puts R6 at $C000 and the second-last bank at $8000.
    inc check
    lda #$46
    ldx #5
    jsr bank_write
    ldx #4
    jsr expect_windows
    lda #6
    ldx #0
    jsr bank_write

    ; Check 3: R0 is 2 KB at $0000 (8, 9), R2 1 KB at $1000.
    inc check
    lda #0
    ldx #8
    jsr bank_write
    lda #2
    ldx #20
    jsr bank_write
    ldy #$00
    lda #8
    jsr expect_pattern
    ldy #$04
    lda #9
    jsr expect_pattern
    ldy #$10
    lda #20
    jsr expect_pattern

    ; Check 4: with the invert bit, R2 lands at $0000 and R0 at $1000.
    inc check
    lda #$82
    ldx #33
    jsr bank_write
    lda #$80
    ldx #40
    jsr bank_write
    ldy #$00
    lda #33
    jsr expect_pattern
    ldy #$10
    lda #40
    jsr expect_pattern
    ldy #$14
    lda #41
    jsr expect_pattern
    ldx #0
    jsr set_banks

    ; Check 5: vertical mirroring: $2800 is $2000.
    inc check
    lda #0
    sta MIRRORING
    lda #$A1
    ldy #$20
    jsr write_ppu
    lda #$B2
    ldy #$24
    jsr write_ppu
    ldy #$28
    lda #$A1
    jsr expect_pattern

    ; Check 6: horizontal mirroring: $2400 is $2000.
    inc check
    lda #1
    sta MIRRORING
    lda #$C3
    ldy #$20
    jsr write_ppu
    lda #$D4
    ldy #$28
    jsr write_ppu
    ldy #$24
    lda #$C3
    jsr expect_pattern

    ; Check 7: SRAM keeps its byte, refuses writes and hides it while disabled.
    inc check
    lda #$5A
    sta $6000
    cmp $6000
    jne fail
    lda #0
    sta SRAM_ENABLE
    lda #$A5
    sta $6000
    lda $6000
    cmp #$5A
    jeq fail
    lda #$80
    sta SRAM_ENABLE
    lda $6000
    cmp #$5A
    jne fail

    ; Check 8: the split. Blank name table, palette 0 = background and stripe colours.
    inc check
    bit PPUSTATUS
    lda #$20
    sta PPUADDR
    lda #$00
    sta PPUADDR
    ldx #0
    ldy #4
:   sta PPUDATA
    inx
    bne :-
    dey
    bne :-
    lda #$3F
    sta PPUADDR
    lda #$00
    sta PPUADDR
    ldx #COLOUR_BACK
    stx PPUDATA
    stx PPUDATA
    stx PPUDATA
    lda #COLOUR_STRIPE
    sta PPUDATA
    jsr wait_vblank
    lda #$88                ; NMI on; sprites from $1000, background from $0000
    sta PPUCTRL
    lda #$0A                ; background on, also in the left column
    sta PPUMASK
    cli
:   lda frames
    cmp #TEST_FRAMES
    bcc :-
    lda bad
    jne fail

    lda #$01
    sta RESULT
idle:
    jmp idle

fail:
    sei
    lda #0
    sta PPUCTRL
    sta PPUMASK
    sta IRQ_DISABLE
    bit PPUSTATUS
    lda #$3F
    sta PPUADDR
    lda #$00
    sta PPUADDR
    lda #COLOUR_FAIL
    ldx #32
:   sta PPUDATA
    dex
    bne :-
    lda #0
    sta PPUSCROLL
    sta PPUSCROLL
    lda #$0A
    sta PPUMASK
    lda check
    ora #$80
    sta RESULT
    jmp idle

; Bank select A, then bank data X.
bank_write:
    sta BANK_SELECT
    stx BANK_DATA
    rts

; R0-R7 from the bytes at initial_banks + X, invert and PRG mode off.
set_banks:
    ldy #0
:   sty BANK_SELECT
    lda initial_banks, x
    sta BANK_DATA
    inx
    iny
    cpy #8
    bne :-
    rts

; Fails the running check unless the markers at $8000, $A000, $C000, $E000 are the four bytes
; at expected_windows + X.
expect_windows:
    lda $8000
    cmp expected_windows, x
    jne fail
    lda $A000
    cmp expected_windows + 1, x
    jne fail
    lda $C000
    cmp expected_windows + 2, x
    jne fail
    lda $E000
    cmp expected_windows + 3, x
    jne fail
    rts

; Fails the running check unless the PPU byte at Y * 256 is A.
expect_pattern:
    sta want
    bit PPUSTATUS
    sty PPUADDR
    lda #0
    sta PPUADDR
    lda PPUDATA             ; the read buffer's stale byte
    lda PPUDATA
    cmp want
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

wait_vblank:
    bit PPUSTATUS
    bpl wait_vblank
    rts

; Each frame: count the last frame's interrupts, show the blank bank at the top and arm the
; counter for the split.
nmi:
    pha
    lda frames
    beq :+
    lda irqs
    cmp #1
    beq :+
    inc bad
:   lda #0
    sta irqs
    inc frames
    lda #0
    sta BANK_SELECT
    lda #TOP_BANK
    sta BANK_DATA
    lda #SPLIT_LATCH
    sta IRQ_LATCH
    sta IRQ_DISABLE         ; reload the counter from the latch
    sta IRQ_ENABLE
    bit PPUSTATUS
    lda #0
    sta PPUSCROLL
    sta PPUSCROLL
    pla
    rti

; At the split: stop the counter until the next frame and switch the background to stripes.
irq:
    pha
    sta IRQ_DISABLE
    lda #0
    sta BANK_SELECT
    lda #BOTTOM_BANK
    sta BANK_DATA
    inc irqs
    pla
    rti

; Switches the sound chip's frame interrupt off, so that only the board's reaches irq, then waits
; for vertical blank. (Kept here, after the handlers, so that no other code moves.)
quiet_wait_vblank:
    lda #$40
    sta $4017
    jmp wait_vblank

.segment "RODATA"

initial_banks:
    .byte TOP_BANK, 2, 4, 5, 6, 7, 0, 1

expected_windows:
    .byte 3, 9, 14, 15      ; check 1
    .byte 14, 9, 5, 15      ; check 2

.segment "VECTORS"
    .word nmi, reset, irq
