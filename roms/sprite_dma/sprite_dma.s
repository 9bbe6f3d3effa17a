; Sprite DMA: $4014 copies a whole RAM page into sprite memory.
;
; The cartridge builds 64 sprites in page $06 (page $02 holds only hidden sprites) and copies
; page $06 with one $4014 write. Sprite n: Y = 39 + 22 * (n / 8), tile 1 + n mod 3 (solid colour
; 1, 2 or 3), attributes (n / 8) mod 4 (sprite palette), X = 24 + 28 * (n mod 8). After the DMA
; it writes $2003 = $FC and then $2004 three times (10, 20, 200): without $2003 in between the
; same byte is overwritten, so sprite 63 ends with Y = 200.
; Sprite 0 covers a solid background tile, so the sprite-0 hit shows that the DMA arrived.
; RESULT ($0300): $01 when the hit came within two frames, $81 when it did not.

.include "nes.inc"

.export main, nmi, irq

ines_header 1, MIRROR_HORIZONTAL

SPRITES = $0600

.zeropage
row:    .res 1
column: .res 1

.segment "CODE"

main:
    ldx #0                  ; X = sprite number * 4
    ldy #0                  ; Y = sprite number
@build:
    tya
    lsr a
    lsr a
    lsr a
    sta row
    and #$03
    sta SPRITES+2,x         ; attributes: sprite palette = row mod 4
    tya
    and #$07
    sta column
    tya                     ; tile = 1 + n mod 3
:   cmp #3
    bcc :+
    sbc #3
    bcs :-
:   adc #1
    sta SPRITES+1,x
    tya
    pha
    ldy row
    lda row_y,y
    sta SPRITES,x
    ldy column
    lda column_x,y
    sta SPRITES+3,x
    pla
    tay
    inx
    inx
    inx
    inx
    iny
    cpy #64
    bne @build

    ; the background: one solid tile (colour 1) under sprite 0, at x 24-31, lines 40-47
    ppu_addr $2000 + 5 * 32 + 3
    lda #$01
    sta PPUDATA
    ppu_addr $3F00
    ldx #0
:   lda colours,x
    sta PPUDATA
    inx
    cpx #32
    bne :-

    lda #>SPRITES
    sta OAMDMA
    lda #$FC
    sta OAMADDR
    lda #10
    sta OAMDATA
    lda #20
    sta OAMDATA
    lda #200
    sta OAMDATA

    jsr wait_vblank
    bit PPUSTATUS
    lda #$00
    sta PPUCTRL
    sta PPUSCROLL
    sta PPUSCROLL
    lda #$18
    sta PPUMASK

    ; wait for the hit over at most two frames
    ldy #2
@frame:
    jsr wait_vblank
:   bit PPUSTATUS
    bvs @hit
    bpl :-
    dey
    bne @frame
    lda #1
    jmp report_fail
@hit:
    jmp report_pass

.segment "RODATA"

row_y:    .byte 39, 61, 83, 105, 127, 149, 171, 193
column_x: .byte 24, 52, 80, 108, 136, 164, 192, 220

; Background palette 0: backdrop $0F, $16, $2A, $12. Sprite palettes 0-3 use colours whose
; numbers differ from all others.
colours:
    .byte $0F, $16, $2A, $12,  $0F, $00, $00, $00,  $0F, $00, $00, $00,  $0F, $00, $00, $00
    .byte $0F, $21, $27, $30,  $0F, $11, $17, $29,  $0F, $15, $1A, $2C,  $0F, $24, $38, $01

.segment "CODE"

nmi:
irq:
    rti
