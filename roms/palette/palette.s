; Palette memory through $2007: a write to $3F00 or $3F10 lands in all eight colour-0 slots,
; writes to $3F04/$3F08/$3F0C/$3F14/$3F18/$3F1C are dropped, and reads return the bytes directly.
;
; The cartridge writes `colours` to $3F00-$3F1F in one run, reads the 32 bytes back to
; $0310-$032F, then writes $2C to $3F10, $05 to $3F04 and $06 to $3F18 and reads them again to
; $0330-$034F.
; RESULT ($0300): $01 when both read-backs match, $81 when the first does not, $82 the second.
; The picture afterwards: backdrop $2C everywhere, tile row 12 in colours 1, 2, 3 of background
; palette 0 ($01, $02, $03 repeating from x = 0), and sprite 0 (solid colour 1, sprite palette 1
; = $3F15 = $18) at x 120-127, lines 100-107.

.include "nes.inc"

.export main, nmi, irq

ines_header 1, MIRROR_HORIZONTAL

.segment "CODE"

main:
    ppu_addr $3F00
    ldx #0
:   lda colours,x
    sta PPUDATA
    inx
    cpx #32
    bne :-
    ldx #$10
    jsr read_palette
    ldx #0
:   lda DETAIL+$0F,x
    cmp expected_first,x
    bne @first_wrong
    inx
    cpx #32
    bne :-

    ppu_addr $3F10
    lda #$2C
    sta PPUDATA
    ppu_addr $3F04
    lda #$05
    sta PPUDATA
    ppu_addr $3F18
    lda #$06
    sta PPUDATA
    ldx #$30
    jsr read_palette
    ldx #0
:   lda DETAIL+$2F,x
    cmp expected_second,x
    bne @second_wrong
    inx
    cpx #32
    bne :-
    lda #RESULT_PASS
    bne @show
@first_wrong:
    lda #$81
    bne @show
@second_wrong:
    lda #$82
@show:
    sta RESULT

    ; tile row 12: tiles 1, 2, 3 repeating
    ppu_addr $2180
    ldx #0
    ldy #1
:   sty PPUDATA
    iny
    cpy #4
    bne :+
    ldy #1
:   inx
    cpx #32
    bne :--
    lda #99                 ; sprite 0: Y, tile, attributes, X
    sta OAM_SHADOW
    lda #$01
    sta OAM_SHADOW+1
    sta OAM_SHADOW+2
    lda #120
    sta OAM_SHADOW+3
    lda #>OAM_SHADOW
    sta OAMDMA
    jsr wait_vblank
    bit PPUSTATUS
    lda #$00
    sta PPUSCROLL
    sta PPUSCROLL
    sta PPUCTRL
    lda #$18                ; background and sprites
    sta PPUMASK
@idle:
    jmp @idle

; Reads palette bytes $3F00-$3F1F to $0300 + X onwards (after the dummy read).
read_palette:
    ppu_addr $3F00
    lda PPUDATA
    ldy #32
:   lda PPUDATA
    sta RESULT,x
    inx
    dey
    bne :-
    rts

.segment "RODATA"

colours:
    .byte $0F, $01, $02, $03,  $04, $05, $06, $07,  $08, $09, $0A, $0B,  $0C, $11, $12, $13
    .byte $21, $14, $15, $16,  $17, $18, $19, $1A,  $1B, $1C, $22, $23,  $24, $25, $26, $27

; After the run of 32 writes: the colour-0 slots hold the last of $3F00/$3F10 ($21), the writes
; to $3F04 ... $3F1C left nothing behind.
expected_first:
    .byte $21, $01, $02, $03,  $21, $05, $06, $07,  $21, $09, $0A, $0B,  $21, $11, $12, $13
    .byte $21, $14, $15, $16,  $21, $18, $19, $1A,  $21, $1C, $22, $23,  $21, $25, $26, $27

expected_second:
    .byte $2C, $01, $02, $03,  $2C, $05, $06, $07,  $2C, $09, $0A, $0B,  $2C, $11, $12, $13
    .byte $2C, $14, $15, $16,  $2C, $18, $19, $1A,  $2C, $1C, $22, $23,  $2C, $25, $26, $27

.segment "CODE"

nmi:
irq:
    rti
