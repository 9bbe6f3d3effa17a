; A game state for the cheat finder: two counters that change only when joypad 1's A button goes
; down, and a byte that never changes. Nothing else in RAM moves from frame to frame (no NMI, one
; fixed wait loop), so a search by change finds exactly what the presses did.
;
; $0310 LIVES:  3 at start, one less at each press of A (wrapping below 0).
; $0311 SCORE:  0 at start, one more at each press.
; $0312 MARKER: $5A, never changed by the game.
; $0313 HELD:   A as last read (0 or 1).
; RESULT ($0300) is $01 once the counters are set up.

.include "nes.inc"

.export main, nmi, irq

ines_header 1, MIRROR_HORIZONTAL

LIVES  = $0310
SCORE  = $0311
MARKER = $0312
HELD   = $0313

.segment "CODE"

main:
    lda #3
    sta LIVES
    lda #$5A
    sta MARKER
    lda #RESULT_PASS
    sta RESULT
@frame:
    jsr wait_vblank
    lda #$01
    sta JOY1
    lda #$00
    sta JOY1
    lda JOY1
    and #BUTTON_A
    cmp HELD
    beq @frame              ; no change
    sta HELD
    tax
    beq @frame              ; released
    dec LIVES
    inc SCORE
    jmp @frame

nmi:
irq:
    rti
