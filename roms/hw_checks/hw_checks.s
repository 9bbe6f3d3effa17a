; The console's own behaviour where the classic model simplifies it: palette mirrors above $3F1F,
; the $2007 read buffer, PHP's pushed bits, page-zero pointer wrap, the JMP ($xxFF) quirk,
; undocumented opcodes, the sprite overflow flag, sprite-0 hit at x = 255 and under the clipped
; left column, $2004 reads, and NMI raised by enabling it during vertical blank.
;
; RESULT ($0300): $01 when checks 1-11 passed, $80 + n when check n failed.
; After the checks: a sprite-0 split. Sprite 0 (solid) at Y = 99, X = 128 over a solid
; background; when the CPU sees the hit it turns the background off, so the background ends
; during line 100 and every line below shows the backdrop ($0F) but for sprite 0 itself.
; $0301: the line count the split saw (frames it ran), for the test to know it happened.

.include "nes.inc"

.export main, nmi, irq

ines_header 1, MIRROR_HORIZONTAL

NMI_COUNT      = $40     ; page-zero bytes $00-$14 and $FF belong to the checks
SPLIT_MODE     = $41
TRAMPOLINE_OK  = $0610
TRAMPOLINE_BAD = $0710

.segment "CODE"

; Fails check n unless the flags in `mask` of P are `value`.
.macro expect_p mask, value, n
    php
    pla
    and #mask
    expect_a value, n
.endmacro

main:
    ; The background: name table $2000 all tile $03 (solid colour 3), palette $0F/$30/$30/$30 and
    ; sprite palette 0 the same.
    fill_first_name_table $03

; 1: palette writes above $3F1F land in $3F00-$3F1F, and $3F10 is $3F00.
    ppu_addr $3F30          ; = $3F10 = $3F00
    lda #$15
    sta PPUDATA
    ppu_addr $3F3F          ; = $3F1F
    lda #$27
    sta PPUDATA
    ppu_addr $3F00
    lda PPUDATA             ; palette reads are direct
    expect_a $15, 1
    ppu_addr $3F1F
    lda PPUDATA
    expect_a $27, 1

; 2: name-table reads come through the read buffer, one read late.
    ppu_addr $2400
    lda #$A7
    sta PPUDATA
    lda #$B8
    sta PPUDATA
    ppu_addr $2400
    lda PPUDATA             ; the buffer's old content
    lda PPUDATA
    expect_a $A7, 2
    lda PPUDATA
    expect_a $B8, 2

; 3: PHP pushes bits 4 and 5 set.
    php
    pla
    and #$30
    expect_a $30, 3

; 4: (zp,X) takes its pointer's second byte from $00, not $0100.
    lda #$34
    sta $FF
    lda #$05
    sta $00
    lda #$06
    sta $0100
    lda #$5A
    sta $0534
    lda #$A5
    sta $0634
    ldx #0
    lda ($FF,x)
    expect_a $5A, 4

; 5: JMP ($04FF) takes its high byte from $0400.
    lda #<TRAMPOLINE_OK
    sta $04FF
    lda #>TRAMPOLINE_OK
    sta $0400
    lda #>TRAMPOLINE_BAD
    sta $0500
    lda #$4C                ; JMP abs
    sta TRAMPOLINE_OK
    sta TRAMPOLINE_BAD
    lda #<jmp_ok
    sta TRAMPOLINE_OK+1
    lda #>jmp_ok
    sta TRAMPOLINE_OK+2
    lda #<jmp_bad
    sta TRAMPOLINE_BAD+1
    lda #>jmp_bad
    sta TRAMPOLINE_BAD+2
    .byte $6C, $FF, $04     ; JMP ($04FF), written as bytes: the assembler warns about it
jmp_bad:
    lda #5
    jmp report_fail
jmp_ok:

; 6: LAX, SAX, DCP and ISC on page zero.
    lda #$83
    sta $10
    lda #0
    ldx #0
    .byte $A7, $10          ; LAX $10
    expect_a $83, 6
    txa
    expect_a $83, 6
    lda #$F0
    ldx #$3C
    .byte $87, $11          ; SAX $11: $F0 & $3C
    lda $11
    expect_a $30, 6
    lda #$41
    sta $12
    lda #$40
    .byte $C7, $12          ; DCP $12: $41 - 1 = $40, compared with A
    expect_p $03, $03, 6    ; Z and C set
    lda $12
    expect_a $40, 6
    lda #$0F
    sta $13
    sec
    lda #$20
    .byte $E7, $13          ; ISC $13: $0F + 1 = $10, A = $20 - $10
    expect_a $10, 6

; 7: SLO, AXS, ANC, ALR and SBC $EB.
    lda #$81
    sta $14
    lda #$02
    .byte $07, $14          ; SLO $14: $14 = $02, C = 1, A = $02 | $02
    expect_a $02, 7
    expect_p $01, $01, 7
    lda #$F0
    ldx #$3C
    .byte $CB, $10          ; AXS #$10: X = ($F0 & $3C) - $10
    txa
    expect_a $20, 7
    lda #$FF
    .byte $0B, $80          ; ANC #$80: A = $80, C = N
    expect_p $81, $81, 7
    lda #$03
    .byte $4B, $FF          ; ALR #$FF: A = $03 >> 1, C = 1
    expect_a $01, 7
    sec
    lda #$10
    .byte $EB, $01          ; SBC #$01
    expect_a $0F, 7

; 8: the undocumented NOPs take their operand bytes.
    lda #$00
    .byte $80, $A9          ; NOP #imm: $A9 is its operand, not an LDA
    .byte $0C, $A9, $A9     ; NOP abs
    .byte $1A               ; NOP
    .byte $04, $A9          ; NOP zp
    expect_a $00, 8

; 9: nine sprites on one line set the overflow flag; sprite 0 at X = 255, and at X = 2 under
;    the clipped left column, never hits.
    ppu_addr $3F00
    ldx #0
:   lda palette,x
    sta PPUDATA
    inx
    cpx #32
    bne :-
    ldx #0
:   lda #40                 ; Y
    sta OAM_SHADOW,x
    lda #$03                ; solid tile
    sta OAM_SHADOW+1,x
    lda #0
    sta OAM_SHADOW+2,x
    txa
    sta OAM_SHADOW+3,x      ; X = 4 * index
    inx
    inx
    inx
    inx
    cpx #36
    bne :-
    lda #255
    sta OAM_SHADOW+3        ; sprite 0 at X = 255
    jsr show_frame          ; background and sprites, left column clipped (mask $18)
    lda PPUSTATUS
    and #$60
    expect_a $20, 9         ; overflow, no hit
    lda #2
    sta OAM_SHADOW+3        ; sprite 0 at X = 2: all its opaque pixels but 0-1 are in view ...
    lda #$FF
    sta OAM_SHADOW+4        ; ... and sprite 1 leaves
    lda #$03
    sta OAM_SHADOW+1
    lda #$0F
    sta OAM_SHADOW+3*4+0    ; move the rest off this line: no overflow
    sta OAM_SHADOW+4*4+0
    sta OAM_SHADOW+5*4+0
    sta OAM_SHADOW+6*4+0
    sta OAM_SHADOW+7*4+0
    sta OAM_SHADOW+8*4+0
    sta OAM_SHADOW+2*4+0
    jsr show_frame
    lda PPUSTATUS
    and #$60
    expect_a $40, 9         ; X = 2: pixels 8-9 hit (the clip hides 2-7 only)
    ldx #0
    lda #$FF
:   sta OAM_SHADOW,x        ; all sprites away
    inx
    bne :-

; 10: $2004 reads sprite memory at OAMADDR.
    lda #0
    sta PPUMASK
    lda #5
    sta OAMADDR
    lda #$6C
    sta OAMDATA             ; sprite memory 5 = $6C, OAMADDR 6
    lda #5
    sta OAMADDR
    lda OAMDATA
    expect_a $6C, 10

; 11: enabling NMI while the vertical-blank flag is set raises NMI at once: the first NMI's
;     handler turns $2000 bit 7 off and on, and a second NMI follows it in the same frame.
    lda #0
    sta NMI_COUNT
    lda #$80
    sta PPUCTRL
:   lda NMI_COUNT
    beq :-
    ldx #0
    stx PPUCTRL
    expect_a 2, 11

; The split: sprite 0 at Y = 99, X = 128; a hit turns the background off.
    lda #99
    sta OAM_SHADOW
    lda #$03
    sta OAM_SHADOW+1
    lda #0
    sta OAM_SHADOW+2
    lda #128
    sta OAM_SHADOW+3
    lda #RESULT_PASS
    sta RESULT
    lda #1
    sta SPLIT_MODE          ; from now on the NMI handler starts each frame of the split
    lda #$80
    sta PPUCTRL
; Frames are counted by NMI, not by polling $2002, whose read on the dot vertical blank begins
; would suppress that frame's flag and NMI.
split:
    lda NMI_COUNT
:   cmp NMI_COUNT
    beq :-
:   bit PPUSTATUS           ; the last frame's hit is gone at the pre-render line
    bvs :-
:   bit PPUSTATUS
    bvc :-
    lda #$10                ; sprites only
    sta PPUMASK
    inc DETAIL
    jmp split

; Shows one frame of the shadow sprites over the background, left column clipped, and returns
; in the vertical blank after it with rendering off.
show_frame:
    jsr wait_vblank
    lda #0
    sta OAMADDR             ; DMA writes from OAMADDR on
    lda #>OAM_SHADOW
    sta OAMDMA
    lda #0
    sta PPUSCROLL
    sta PPUSCROLL
    sta PPUCTRL
    lda #$18
    sta PPUMASK
    jsr wait_vblank
    lda #0
    sta PPUMASK
    rts

nmi:
    inc NMI_COUNT
    pha
    lda SPLIT_MODE
    bne @split
    lda NMI_COUNT
    cmp #1
    bne @done
    lda #$00
    sta PPUCTRL
    lda #$80
    sta PPUCTRL
    jmp @done
@split:
    lda #0
    sta OAMADDR
    lda #>OAM_SHADOW
    sta OAMDMA
    lda #0
    sta PPUSCROLL
    sta PPUSCROLL
    lda #$1E                ; background and sprites, no clipping
    sta PPUMASK
@done:
    pla
irq:
    rti

.segment "RODATA"
palette:
    .byte $0F, $30, $30, $30, $0F, $30, $30, $30, $0F, $30, $30, $30, $0F, $30, $30, $30
    .byte $0F, $16, $16, $16, $0F, $16, $16, $16, $0F, $16, $16, $16, $0F, $16, $16, $16
