; Joypad ports: strobe, bit-serial reads with bit 6 set, 24-bit streams that start over.
;
; Every frame, in vertical blank: strobe ($4016 = 1 then 0), then
;   $0310-$0327: 24 reads of $4016,  $0330-$0347: 24 reads of $4017,
;   $0350: a 25th read of $4016 (bit 0 again),
;   $0351: a read of $4016 after writing $01 to $4016 (no restart: bit 1),
;   $0352: a read of $4016 after writing $00 to $4016 (restart: bit 0),
;   $0353: a read of $4017 after that same write (restart: bit 0).
; $0301: frames run.
; RESULT ($0300): $01 while every read has the form $40 or $41 (bit 6 set, bits 1-5 and 7
; clear), $81 from the first frame in which one did not (sticky).

.include "nes.inc"

.export main, nmi, irq

ines_header 1, MIRROR_HORIZONTAL

PORT1_READS = $0310
PORT2_READS = $0330
EXTRA_READS = $0350

.segment "CODE"

main:
@frame:
    jsr wait_vblank
    lda #$01
    sta JOY1
    lda #$00
    sta JOY1
    ldx #0
:   lda JOY1
    sta PORT1_READS,x
    inx
    cpx #24
    bne :-
    ldx #0
:   lda JOY2
    sta PORT2_READS,x
    inx
    cpx #24
    bne :-
    lda JOY1
    sta EXTRA_READS
    lda #$01
    sta JOY1
    lda JOY1
    sta EXTRA_READS+1
    lda #$00
    sta JOY1
    lda JOY1
    sta EXTRA_READS+2
    lda JOY2
    sta EXTRA_READS+3

    inc DETAIL
    lda RESULT
    bmi @frame              ; a failure stays
    ldx #0
:   lda PORT1_READS,x
    and #$FE
    cmp #$40
    bne @bad
    lda PORT2_READS,x
    and #$FE
    cmp #$40
    bne @bad
    inx
    cpx #24
    bne :-
    ldx #3
:   lda EXTRA_READS,x
    and #$FE
    cmp #$40
    bne @bad
    dex
    bpl :-
    lda #RESULT_PASS
    sta RESULT
    jmp @frame
@bad:
    lda #$81
    sta RESULT
    jmp @frame

nmi:
irq:
    rti
