; $4015 status: length counters run after $4003/$4007/$400B/$400F writes, disabled channels read
; 0 and do not load lengths, the halt bit stops the count, bit 6 always reads 1.
; Register writes reach the sound channels when the next sound frame is made (at the start of
; vertical blank), so every write below is followed by a vertical-blank wait before the read.
;
; $0310: $4015 at power-on (expect $40).
; $0320-$032D: $4015 after each of 14 frames, after starting square 1, square 2, triangle and
;   noise with lengths of 2, 6, 8 and 10 frames (bits 0-3 drop out in that order).
; $0330: all four started with 127-frame lengths ($4F);  $0331: square 2 and noise disabled
;   ($45);  $0332: after $4007 while square 2 is disabled ($45);  $0333: after enabling all
;   four again without length writes ($45);  $0334: after $4007 while enabled ($47).
; $0335: square 1 alone with the halt bit and a 2-frame length, 4 frames later ($41);
; $0336: after disabling everything ($40).
; RESULT ($0300): $01 when all checks passed, else $80 + n:
;   1 power-on value, 2 the 14 reads of $0320 (first $4F, last $40, bits only drop, in the
;   order square 1, square 2, triangle, noise), 3 $0330-$0334, 4 $0335/$0336.

.include "nes.inc"

.export main, nmi, irq

ines_header 1, MIRROR_HORIZONTAL

STATUS_RESET   = $0310
STATUS_LENGTHS = $0320
STATUS_ENABLE  = $0330
STATUS_HALT    = $0335

.zeropage
previous: .res 1

.segment "CODE"

main:
    lda APUSTATUS
    sta STATUS_RESET

; lengths: index 5 = 2 frames, 13 = 6, 17 = 8, 21 = 10
    lda #$0F
    sta APUSTATUS
    lda #$10                ; constant volume 0, length counting
    sta SQ1_VOL
    sta SQ2_VOL
    sta NOISE_VOL
    lda #$08                ; no sweep
    sta SQ1_SWEEP
    sta SQ2_SWEEP
    lda #$01                ; triangle: control clear, so its length counts
    sta TRI_LIN
    lda #$80
    sta SQ1_LO
    sta SQ2_LO
    sta TRI_LO
    lda #$04
    sta NOISE_LO
    lda #5 << 3
    sta SQ1_HI
    lda #13 << 3
    sta SQ2_HI
    lda #17 << 3
    sta TRI_HI
    lda #21 << 3
    sta NOISE_HI
    ldx #0
:   jsr wait_vblank
    lda APUSTATUS
    sta STATUS_LENGTHS,x
    inx
    cpx #14
    bne :-

; enable, disable, writes while disabled
    lda #$08                ; index 1 = 127 frames
    sta SQ1_HI
    sta SQ2_HI
    sta TRI_HI
    sta NOISE_HI
    jsr wait_vblank
    lda APUSTATUS
    sta STATUS_ENABLE
    lda #$05
    sta APUSTATUS
    jsr wait_vblank
    lda APUSTATUS
    sta STATUS_ENABLE+1
    lda #$08
    sta SQ2_HI
    jsr wait_vblank
    lda APUSTATUS
    sta STATUS_ENABLE+2
    lda #$0F
    sta APUSTATUS
    jsr wait_vblank
    lda APUSTATUS
    sta STATUS_ENABLE+3
    lda #$08
    sta SQ2_HI
    jsr wait_vblank
    lda APUSTATUS
    sta STATUS_ENABLE+4

; the halt bit
    lda #$00
    sta APUSTATUS
    lda #$01
    sta APUSTATUS
    lda #$30                ; halt, constant volume 0
    sta SQ1_VOL
    lda #5 << 3
    sta SQ1_HI
    ldx #4
:   jsr wait_vblank
    dex
    bne :-
    lda APUSTATUS
    sta STATUS_HALT
    lda #$00
    sta APUSTATUS
    jsr wait_vblank
    lda APUSTATUS
    sta STATUS_HALT+1

; checks
    lda STATUS_RESET
    cmp #$40
    beq :+
    lda #1
    jmp report_fail
:   jsr check_lengths
    ldx #4
:   lda STATUS_ENABLE,x
    cmp expected_enable,x
    beq :+
    lda #3
    jmp report_fail
:   dex
    bpl :--
    lda STATUS_HALT
    cmp #$41
    bne @halt_wrong
    lda STATUS_HALT+1
    cmp #$40
    bne @halt_wrong
    jmp report_pass
@halt_wrong:
    lda #4
    jmp report_fail

; The 14 reads after starting four lengths: first $4F, last $40, and from one read to the next
; bits only drop, never in an order other than square 1, square 2, triangle, noise (so the value
; is always $40 plus one of $0F, $0E, $0C, $08, $00).
check_lengths:
    lda STATUS_LENGTHS
    cmp #$4F
    bne @wrong
    lda STATUS_LENGTHS+13
    cmp #$40
    bne @wrong
    lda #$4F
    sta previous
    ldx #0
@next:
    lda STATUS_LENGTHS,x
    ldy #4
:   cmp allowed,y
    beq :+
    dey
    bpl :-
    bmi @wrong
:   cmp previous            ; never above the one before
    beq @same
    bcs @wrong
@same:
    sta previous
    inx
    cpx #14
    bne @next
    rts
@wrong:
    lda #2
    jmp report_fail

.segment "RODATA"

allowed:
    .byte $4F, $4E, $4C, $48, $40
expected_enable:
    .byte $4F, $45, $45, $45, $47

.segment "CODE"

nmi:
irq:
    rti
