; The MMC3 board's scanline counter as built (the hardware profile): $C000 holds the latch,
; $C001 reloads the counter at the next rise of PPU address line A12, $E000 disables and
; acknowledges the interrupt, $E001 enables it; the counter is clocked by A12 rises, whether they
; come from the picture's fetches or from $2006 writes.
;
; Check 1: with rendering off, $2006 writes that move A12 low then high clock the counter: with
;   latch 2, the first rise reloads it, the third brings it to 0 and interrupts, not before.
; Check 2: the split. Background patterns at $0000, sprites at $1000: one rise a line. The NMI
;   handler shows CHR bank 0 (blank) and reloads the counter with latch SPLIT_LATCH; the IRQ
;   handler switches the background to bank 62 (stripes). Exactly one interrupt a frame; the
;   picture is blue down to line SPLIT_LATCH - 1 and striped from line SPLIT_LATCH + 1 on.
; RESULT ($0300): $01 once both checks passed and the split ran TEST_FRAMES frames, $80 + n.

.macpack longbranch

PPUCTRL   = $2000
PPUMASK   = $2001
PPUSTATUS = $2002
OAMADDR   = $2003
PPUSCROLL = $2005
PPUADDR   = $2006
PPUDATA   = $2007
OAMDMA    = $4014
RESULT    = $0300

BANK_SELECT = $8000
BANK_DATA   = $8001
IRQ_LATCH   = $C000
IRQ_RELOAD  = $C001
IRQ_DISABLE = $E000
IRQ_ENABLE  = $E001

SPLIT_LATCH = 100
TEST_FRAMES = 10

.segment "HEADER"
    .byte "NES", $1A
    .byte 8                 ; 8 x 16 KB program ROM
    .byte 8                 ; 8 x 8 KB pattern ROM
    .byte $40, $00          ; mapper 4, horizontal mirroring
    .res 8, 0

.segment "BANKS"
.repeat 15
    .res $2000, $FF
.endrepeat

; Sixty-four 1 KB pattern banks, each filled with its own number.
.segment "CHARS"
.repeat 64, i
    .res $400, i
.endrepeat

.segment "ZEROPAGE"
check:  .res 1
frames: .res 1
irqs:   .res 1
bad:    .res 1

.segment "CODE"
reset:
    sei
    cld
    ldx #$FF
    txs
    inx
    stx PPUCTRL
    stx PPUMASK
    lda #$40
    sta $4017               ; no frame interrupt from the sound chip: only the board's
:   bit PPUSTATUS
    bpl :-
    txa
:   sta $00, x
    sta $0300, x
    inx
    bne :-
    lda #$FF                ; a page of sprites below the picture
:   sta $0200, x
    inx
    bne :-
:   bit PPUSTATUS
    bpl :-
    stx OAMADDR
    lda #$02
    sta OAMDMA
    sta IRQ_DISABLE
    ldx #0                  ; R0-R7 = 0, 2, 4, 5, 6, 7, 0, 1
:   stx BANK_SELECT
    lda initial_banks, x
    sta BANK_DATA
    inx
    cpx #8
    bne :-

    ; Check 1: three A12 rises from $2006, latch 2.
    inc check
    lda #2
    sta IRQ_LATCH
    sta IRQ_RELOAD
    sta IRQ_ENABLE
    cli
    jsr a12_rise            ; reload: 2
    jsr a12_rise            ; 1
    lda irqs
    jne fail
    jsr a12_rise            ; 0: interrupt
    lda irqs
    cmp #1
    jne fail
    sei
    lda #0
    sta irqs

    ; Check 2: the split. Blank name table; palette 0 = blue and the stripe colour.
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
    lda #$12
    sta PPUDATA
    sta PPUDATA
    sta PPUDATA
    lda #$38
    sta PPUDATA
:   bit PPUSTATUS
    bpl :-
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
    lda check
    ora #$80
    sta RESULT
    jmp idle

; Moves PPU address line A12 low for a while, then high: one rise.
a12_rise:
    lda #$00
    sta PPUADDR
    sta PPUADDR
    nop
    nop
    nop
    lda #$10
    sta PPUADDR
    lda #$00
    sta PPUADDR
    rts

; Each frame: count the last frame's interrupts, show the blank bank at the top and reload the
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
    sta BANK_DATA           ; R0 = bank 0: blank
    lda #SPLIT_LATCH
    sta IRQ_LATCH
    sta IRQ_RELOAD
    sta IRQ_ENABLE
    bit PPUSTATUS
    lda #0
    sta PPUSCROLL
    sta PPUSCROLL
    pla
    rti

irq:
    pha
    sta IRQ_DISABLE
    lda #0
    sta BANK_SELECT
    lda #62
    sta BANK_DATA
    inc irqs
    pla
    rti

.segment "RODATA"
initial_banks:
    .byte 0, 2, 4, 5, 6, 7, 0, 1

.segment "VECTORS"
    .word nmi, reset, irq
