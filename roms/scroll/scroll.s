; Scrolling across two name tables (vertical mirroring) with a split in the middle of the picture.
;
; Name table $2000: tile (row r, column c) = 1 + c mod 3, background palette 0.
; Name table $2400: tile (row r, column c) = 1 + r mod 3, background palette 1.
; Each frame, in vertical blank: $2000 = $00, $2005 = 100 then 20 (x = 100, y = 20). Sprite 0
; (solid, behind the background, so it never shows) sits at Y = 119: its hit comes on line 120,
; and the cartridge then writes $2000 = $01 and $2005 = 44 then 77. From the next line or the
; one after, the picture shows x = 256 + 44 = 300; y stays 20, because the second $2005 write
; is dropped during the visible lines.
; RESULT ($0300): $01 once the split has run for two frames. $0301: frames since then.

.include "nes.inc"

.export main, nmi, irq

ines_header 1, MIRROR_VERTICAL

.segment "CODE"

main:
    ; name table $2000: columns of tiles 1, 2, 3
    ppu_addr $2000
    ldy #30
@rows0:
    ldx #0
:   lda mod3_plus1,x
    sta PPUDATA
    inx
    cpx #32
    bne :-
    dey
    bne @rows0
    lda #$00                ; attributes: palette 0
    ldx #64
:   sta PPUDATA
    dex
    bne :-

    ; name table $2400: rows of tiles 1, 2, 3
    ppu_addr $2400
    ldy #0
@rows1:
    lda mod3_plus1,y
    ldx #32
:   sta PPUDATA
    dex
    bne :-
    iny
    cpy #30
    bne @rows1
    lda #$55                ; attributes: palette 1
    ldx #64
:   sta PPUDATA
    dex
    bne :-

    ppu_addr $3F00
    ldx #0
:   lda colours,x
    sta PPUDATA
    inx
    cpx #32
    bne :-

    lda #119                ; sprite 0: solid tile, behind the background
    sta OAM_SHADOW
    lda #$01
    sta OAM_SHADOW+1
    lda #$20
    sta OAM_SHADOW+2
    lda #0
    sta OAM_SHADOW+3
    lda #>OAM_SHADOW
    sta OAMDMA

    jsr wait_vblank
    lda #$18
    sta PPUMASK
    ldy #0                  ; frames with the split
@frame:
    jsr wait_vblank
    lda #$00
    sta PPUCTRL
    lda #100
    sta PPUSCROLL
    lda #20
    sta PPUSCROLL
:   bit PPUSTATUS
    bvc :-
    lda #$01
    sta PPUCTRL
    lda #44
    sta PPUSCROLL
    lda #77
    sta PPUSCROLL
    iny
    sty DETAIL
    cpy #2
    bcc @frame
    lda #RESULT_PASS
    sta RESULT
    jmp @frame

.segment "RODATA"

mod3_plus1:
    .repeat 32, i
        .byte 1 + i .mod 3
    .endrepeat

colours:
    .byte $0F, $16, $2A, $12,  $0F, $27, $15, $31,  $0F, $00, $00, $00,  $0F, $00, $00, $00
    .byte $0F, $30, $30, $30,  $0F, $00, $00, $00,  $0F, $00, $00, $00,  $0F, $00, $00, $00

.segment "CODE"

nmi:
irq:
    rti
