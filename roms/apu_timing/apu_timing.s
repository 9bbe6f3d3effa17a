; The sound chip's timing as the console's CPU sees it (a cartridge for the hardware profile):
; the frame counter's interrupt and its modes, the length table and halt, a length running out
; at its half-frame clock, the DMC's rates, its interrupt and the cycles its reads steal.
; Times are counted in passes of a 24-cycle loop that polls $4015 (`measure`).
;
; $0310/11: passes from $4017 = $00 to the frame interrupt flag (29,828 cycles and the write's
;   3 or 4: 1243 passes, less the set-up).
; $0312/13: passes from a 2-half-frame length load just after $4017 = $40 until $4015 bit 0
;   drops (the second half-frame clock, 29,829 cycles on: 1243 passes).
; $0314/15, $0316/17: passes until a 17-byte DMC sample has been read, at rate 0 (428 cycles a
;   bit) and rate 15 (54): the first two bytes at once and as the running output byte ends,
;   then one every 8 bits: 15 bytes' time plus up to one byte's phase.
; $0318/19: as $0310 while a looping sample plays at rate 15: fewer passes, since each of its
;   reads stalls the CPU.
; $031A: $4015 as the interrupt handler read it after the one-byte sample with its IRQ on.
; $031B: frame interrupts taken in three vertical blanks.
; $0320-$033F: the length loaded by each index 0-31, counted in $4017 = $C0 writes (each
;   clocks the half frame at once) until $4015 bit 0 drops.
; RESULT ($0300): $01, or $80 + n: 1 the frame flag's time, 2 $4017 bit 6 or a $4015 read
;   not clearing the flag, 3 a flag in the 5-step mode, 4 frame interrupts not taken, 5 the
;   length table, 6 the halt bit, 7 the length's time, 8 DMC rate 0, 9 DMC rate 15,
;   10 the DMC interrupt, 11 the stall.
; Last it leaves the 17-byte sample looping at rate 15 (a 243.7 Hz wave) and idles.

.include "nes.inc"

.export main, nmi, irq

ines_header 1, MIRROR_HORIZONTAL

FRAME_PASSES  = $0310
LENGTH_PASSES = $0312
DMC_SLOW      = $0314
DMC_FAST      = $0316
STALL_PASSES  = $0318
IRQ_STATUS    = $031A
FRAME_IRQS    = $031B
LENGTHS       = $0320

.zeropage
mask:   .res 1
want:   .res 1
passes: .res 2
irqs:   .res 1
span:   .res 1              ; a range's width for `check_range`, and its top
low:    .res 1
high:   .res 1

.segment "CODE"

; The DMC sample, first in the program so that it sits at $C000 ($4012 = 0): eight bytes of
; rising steps, eight falling, one that nets nothing.
sample:
    .res 8, $FF
    .res 8, $00
    .byte $55

main:
; 1: the frame flag's time
    lda #$00
    sta JOY2
    lda #$40
    ldx #$00
    jsr measure
    lda passes
    sta FRAME_PASSES
    lda passes+1
    sta FRAME_PASSES+1
    lda #8
    sta span
    ldx #<1238
    ldy #>1238
    lda #1
    jsr check_range

; 2: $4017 bit 6 clears the flag and keeps it clear; a $4015 read clears it
    lda #$00
    sta JOY2
    jsr wait_vblank
    jsr wait_vblank
    lda #$40
    sta JOY2
    bit APUSTATUS
    bvs @fail2
    jsr wait_vblank
    jsr wait_vblank
    bit APUSTATUS
    bvs @fail2
    lda #$00
    sta JOY2
    jsr wait_vblank
    jsr wait_vblank
    bit APUSTATUS
    bvc @fail2
    bit APUSTATUS
    bvc :+
@fail2:
    lda #2
    jmp report_fail

; 3: no flag in the 5-step mode
:   lda #$80
    sta JOY2
    bit APUSTATUS
    jsr wait_vblank
    jsr wait_vblank
    jsr wait_vblank
    bit APUSTATUS
    bvc :+
    lda #3
    jmp report_fail

; 4: the flag interrupts the CPU (about once a frame)
:   lda #0
    sta irqs
    sta JOY2
    cli
    jsr wait_vblank
    jsr wait_vblank
    jsr wait_vblank
    sei
    lda #$40
    sta JOY2
    lda irqs
    sta FRAME_IRQS
    cmp #2
    bcc @fail4
    cmp #4
    bcc :+
@fail4:
    lda #4
    jmp report_fail

; 5: the length table, counted in half-frame clocks
:   lda #$01
    sta APUSTATUS
    lda #$10                ; constant volume 0, length counting
    sta SQ1_VOL
    lda #$08
    sta SQ1_SWEEP
    lda #$80
    sta SQ1_LO
    ldy #0
@load:
    tya
    asl
    asl
    asl
    sta SQ1_HI
    ldx #0
@clock:
    lda APUSTATUS
    and #$01
    beq @out
    lda #$C0                ; 5-step mode: a quarter and a half frame 3 or 4 cycles on
    sta JOY2
    nop
    nop
    inx
    bne @clock
@out:
    txa
    sta LENGTHS,y
    cmp length_table,y
    bne @fail5
    iny
    cpy #32
    bne @load
    beq :+
@fail5:
    lda #5
    jmp report_fail

; 6: the halt bit keeps the length
:   lda #$30
    sta SQ1_VOL
    lda #3 << 3             ; 2 half frames
    sta SQ1_HI
    ldx #4
@halted:
    lda #$C0
    sta JOY2
    dex
    bne @halted
    lda APUSTATUS
    and #$01
    bne :+
    lda #6
    jmp report_fail

; 7: a 2-half-frame length runs out at the second half-frame clock
:   lda #$10
    sta SQ1_VOL
    lda #$40
    sta JOY2
    lda #3 << 3
    sta SQ1_HI
    lda #$01
    tax
    jsr measure
    lda passes
    sta LENGTH_PASSES
    lda passes+1
    sta LENGTH_PASSES+1
    lda #8
    sta span
    ldx #<1238
    ldy #>1238
    lda #7
    jsr check_range
    lda #$00
    sta APUSTATUS

; 8, 9: DMC rates 0 and 15
    lda #0
    sta DMC_START
    lda #1                  ; 17 bytes
    sta DMC_LEN
    lda #$00
    sta DMC_FREQ
    lda #$10
    sta APUSTATUS
    ldx #$10
    jsr measure
    lda passes
    sta DMC_SLOW
    lda passes+1
    sta DMC_SLOW+1
    lda #145
    sta span
    ldx #<2140              ; 15 * 8 * 428 / 24, then up to a byte (143) more
    ldy #>2140
    lda #8
    jsr check_range
    jsr wait_vblank         ; the last byte plays out
    lda #$0F
    sta DMC_FREQ
    lda #$10
    sta APUSTATUS
    ldx #$10
    jsr measure
    lda passes
    sta DMC_FAST
    lda passes+1
    sta DMC_FAST+1
    lda #35
    sta span
    ldx #<270               ; 15 * 8 * 54 / 24, then up to a byte (18) and a period of rate 0
    ldy #>270
    lda #9
    jsr check_range
    jsr wait_vblank

; 10: a one-byte sample with its interrupt on
    lda #0
    sta DMC_LEN
    sta irqs
    sta IRQ_STATUS
    lda #$8F
    sta DMC_FREQ
    cli
    lda #$10
    sta APUSTATUS
    ldx #0
:   lda irqs
    bne :+
    dex
    bne :-
:   sei
    lda IRQ_STATUS
    bmi :+
    lda #10
    jmp report_fail

; 11: the stall: the frame flag's time again, with a looping sample
:   lda #1
    sta DMC_LEN
    lda #$4F
    sta DMC_FREQ
    lda #$10
    sta APUSTATUS
    lda #$00
    sta JOY2
    lda #$40
    ldx #$00
    jsr measure
    lda #$40
    sta JOY2
    lda passes
    sta STALL_PASSES
    lda passes+1
    sta STALL_PASSES+1
    sec                     ; FRAME_PASSES - STALL_PASSES: about 69 reads of 4 cycles
    lda FRAME_PASSES
    sbc passes
    cmp #9
    bcc @fail11
    cmp #15
    bcc :+
@fail11:
    lda #11
    jmp report_fail

; the looping sample for the ear and the sound test, from the middle level
:   lda #$00
    sta APUSTATUS
    lda #64
    sta DMC_RAW
    lda #$4F
    sta DMC_FREQ
    lda #$10
    sta APUSTATUS
    jmp report_pass

; Counts 24-cycle passes (into `passes`) until $4015 AND A differs from X. Every path through
; the loop takes 24 cycles, so its branches must stay within one page.
measure:
    sta mask
    stx want
    ldx #0
    stx passes+1
@loop:
    lda APUSTATUS           ; 4
    and mask                ; 3
    cmp want                ; 3
    bne @done               ; 2
    inx                     ; 2
    bne @pad                ; 2, taken 3
    inc passes+1            ; 5
    jmp @loop               ; 3
@pad:
    nop                     ; 2
    nop                     ; 2
    jmp @loop               ; 3
@done:
    stx passes
    rts
.assert >measure = >*, lderror, "measure crosses a page"

; Fails with check A unless `passes` lies in YX ... YX + span - 1.
check_range:
    pha
    stx mask                ; the bottom
    sty want
    txa
    clc
    adc span
    sta low                 ; the top, one past
    tya
    adc #0
    sta high
    lda passes
    cmp mask
    lda passes+1
    sbc want
    bcc @fail               ; below the bottom
    lda passes
    cmp low
    lda passes+1
    sbc high
    bcs @fail               ; at or above the top
    pla
    rts
@fail:
    pla
    jmp report_fail

nmi:
    rti

; Reads $4015 (which clears the frame interrupt), keeps it and clears the DMC's interrupt.
irq:
    pha
    lda APUSTATUS
    sta IRQ_STATUS
    lda #$00
    sta DMC_FREQ
    inc irqs
    pla
    rti

.segment "RODATA"

length_table:
    .byte 10, 254, 20,  2, 40,  4, 80,  6, 160,  8, 60, 10, 14, 12, 26, 14
    .byte 12,  16, 24, 18, 48, 20, 96, 22, 192, 24, 72, 26, 16, 28, 32, 30
