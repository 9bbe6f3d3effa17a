; Battery-backed RAM: counts its own power-ons in $6000-$7FFF, which the battery keeps between
; runs. The image has the battery flag (header byte 6 bit 1).
;
; $6000-$6003: "VBAT" once the RAM has been set up; anything else counts as a fresh battery.
; $6004:       power-ons so far, this one included (1 after the first).
; $7FFF:       the same count, so that a save cut short loses it.
; DETAIL:      the count as read at this power-on, after the increment.
; RESULT ($0300): $01 once the count is updated.

.include "nes.inc"

.export main, nmi, irq

ines_header 1, MIRROR_HORIZONTAL | BATTERY

SIGNATURE = $6000
COUNT     = $6004
LAST_BYTE = $7FFF

.segment "CODE"

main:
    ldx #3
@check:
    lda SIGNATURE,x
    cmp signature,x
    bne @fresh
    dex
    bpl @check
    jmp @count
@fresh:
    ldx #3
@sign:
    lda signature,x
    sta SIGNATURE,x
    dex
    bpl @sign
    lda #0
    sta COUNT
@count:
    inc COUNT
    lda COUNT
    sta LAST_BYTE
    sta DETAIL
    jmp report_pass

nmi:
irq:
    rti

.segment "RODATA"

signature:
    .byte "VBAT"
