; Sprite-0 hit: when it is set, that reading $2002 leaves it, and that vertical blank clears it.
;
; Three measurements, each over one frame. Sprite 0 is a ring (colour 3 = $30) whose open
; corners show what lies below:
;   A: Y = 60, over a solid background tile ($16): the hit comes on line 61, its first line.
;   B: Y = 160, over a solid background tile: the hit comes on line 161.
;   C: Y = 100, over the backdrop ($0C) only: no sprite pixel meets the background. This machine
;      sets the hit on the sprite's second-to-last line (107) all the same.
;   F: sprite 0 below the picture (Y = $FF): no hit; the count runs to the next vertical blank.
; Each measurement starts at the start of vertical blank (line 243) and reads $2002 once in each
; pass of a loop that takes one line's 114 cycles, the read falling in the middle of a line. The
; count starts at -21, so that it reaches 0 on the frame's first line (264 lines, 243 to 263 in
; vertical blank): it is the line on which the hit was seen, and 243 for F.
; $0301, $0302, $0303, $0304: the lines of A, B, C and F.
; $0305: bit n set when measurement n (A, B, C, F) ended with a hit.
; RESULT ($0300): $01 when all checks passed, else $80 + n:
;   1 no hit in A, 2 no hit in B, 3 B not later than A, 4 a $2002 read cleared the hit,
;   5 the hit was still set at the next vertical blank, 6 a hit in F.

.include "nes.inc"

.export main, nmi, irq

ines_header 1, MIRROR_HORIZONTAL

.segment "CODE"

main:
    ; solid tiles at x 80-87, lines 56-71 and 152-167
    ppu_addr $2000 + 7 * 32 + 10
    lda #$01
    sta PPUDATA
    ppu_addr $2000 + 8 * 32 + 10
    lda #$01
    sta PPUDATA
    ppu_addr $2000 + 19 * 32 + 10
    lda #$01
    sta PPUDATA
    ppu_addr $2000 + 20 * 32 + 10
    lda #$01
    sta PPUDATA
    ppu_addr $3F00
    ldx #0
:   lda colours,x
    sta PPUDATA
    inx
    cpx #32
    bne :-
    jsr wait_vblank
    bit PPUSTATUS
    lda #$00
    sta PPUCTRL
    sta PPUSCROLL
    sta PPUSCROLL
    lda #$18
    sta PPUMASK

    lda #60
    ldx #80
    jsr measure
    stx DETAIL
    ror DETAIL+4
    lda #160
    ldx #80
    jsr measure
    stx DETAIL+1
    ror DETAIL+4
    lda #100
    ldx #160
    jsr measure
    stx DETAIL+2
    ror DETAIL+4
    lda #$FF
    ldx #0
    jsr measure
    stx DETAIL+3
    ror DETAIL+4
    lsr DETAIL+4            ; bits 7-4 down to 3-0
    lsr DETAIL+4
    lsr DETAIL+4
    lsr DETAIL+4

    lda DETAIL+4
    and #$01
    bne :+
    lda #1
    jmp report_fail
:   lda DETAIL+4
    and #$02
    bne :+
    lda #2
    jmp report_fail
:   lda DETAIL+4
    and #$08
    beq :+
    lda #6
    jmp report_fail
:   lda DETAIL              ; B's line must be below A's
    cmp DETAIL+1
    bcc :+
    lda #3
    jmp report_fail

    ; one more hit (from A's position), then look at the flag around it
:   lda #60
    ldx #80
    jsr measure
    lda PPUSTATUS
    and #$40
    bne :+
    lda #4
    jmp report_fail
:   lda PPUSTATUS
    bpl :-
    and #$40
    beq :+
    lda #5
    jmp report_fail
:   jmp report_pass

; Puts sprite 0 at Y = A, X = X, waits for vertical blank and counts lines until the hit or the
; next vertical blank. Returns the line in X, carry set when it was a hit.
measure:
    sta OAM_SHADOW
    stx OAM_SHADOW+3
    lda #$04                ; the ring
    sta OAM_SHADOW+1
    lda #$00
    sta OAM_SHADOW+2
    lda #>OAM_SHADOW
    sta OAMDMA
    jsr wait_vblank
    ldy #11                 ; 57 cycles: the first read falls in the middle of line 244
:   dey
    bne :-
    ldx #256-21
@line:
    ldy #20                 ; 2 + 20 * 5 + 2 + 4 + 3 + 3 = 114 cycles a pass
@wait:
    dey
    bne @wait
    inx
    bit PPUSTATUS
    bvs @hit
    bpl @line
    clc
    rts
@hit:
    sec
    rts

.segment "RODATA"

colours:
    .byte $0C, $16, $16, $16,  $0C, $00, $00, $00,  $0C, $00, $00, $00,  $0C, $00, $00, $00
    .byte $0C, $30, $30, $30,  $0C, $00, $00, $00,  $0C, $00, $00, $00,  $0C, $00, $00, $00

.segment "CODE"

nmi:
irq:
    rti
