; A small music engine run once a frame from the NMI, and a four-bar loop in C major
; (C, Am, F, G): melody on square 1, arpeggios on square 2, bass on the triangle, drums on
; the noise channel; the kick also plays a sampled drum on the DMC (kick.s), which the console
; plays and the classic profile keeps silent.
;
; Collecting a coin plays a two-note chime on square 2, which the arpeggio gives up meanwhile.
;
; A channel's data is a byte stream: $01-$3C plays that note (1 = C2 ... 60 = B6), $00 rests,
; $80 + n makes each following event last n frames, $FF starts the stream over.

.include "demo.inc"

.import kick_sample

STEP = 7                    ; frames per sixteenth note

CHANNELS = 4
SQUARE1  = 0                ; channel numbers times two: index into the pointer table
SQUARE2  = 2
TRIANGLE = 4
NOISE    = 6

.zeropage
stream:   .res CHANNELS * 2 ; read position of each channel
wait:     .res CHANNELS * 2 ; frames until the next event (even bytes used)
duration: .res CHANNELS * 2 ; frames per event (even bytes used)
note_low:  .res 1
note_high: .res 1
chime:     .res 1           ; frames of the coin chime still to come, 0 when none

.segment "CODE"

music_init:
    lda #$0F                ; squares, triangle and noise on
    sta APUSTATUS
    lda #$08                ; sweep off (negate set, so no period is muted)
    sta SQ1_SWEEP
    sta SQ2_SWEEP
    ldx #CHANNELS * 2 - 2
:   lda song_start,x
    sta stream,x
    lda song_start+1,x
    sta stream+1,x
    lda #1
    sta wait,x
    sta duration,x
    dex
    dex
    bpl :-
    rts

; Asks for the coin chime from the next music update on.
play_chime:
    lda #CHIME_FRAMES
    sta chime
    rts

music_update:
    jsr update_chime
    ldx #CHANNELS * 2 - 2
@channel:
    dec wait,x
    bne @next
@read:
    lda (stream,x)
    inc stream,x
    bne :+
    inc stream+1,x
:   cmp #$FF
    bne :+
    lda song_start,x        ; loop
    sta stream,x
    lda song_start+1,x
    sta stream+1,x
    jmp @read
:   cmp #$80
    bcc @event
    and #$7F
    sta duration,x
    jmp @read
@event:
    jsr play
    lda duration,x
    sta wait,x
@next:
    dex
    dex
    bpl @channel
    rts

; Plays note A (0 = rest) on channel X.
play:
    cpx #NOISE
    beq play_drum
    tay
    beq @rest
    lda period_low-1,y
    sta note_low
    lda period_high-1,y
    ora #$08                ; length index 1: long enough for any note
    sta note_high
    cpx #TRIANGLE
    beq @triangle
    cpx #SQUARE2
    beq @square2
    lda #$86                ; square 1: duty 50%, decaying envelope
    sta SQ1_VOL
    lda note_low
    sta SQ1_LO
    lda note_high
    sta SQ1_HI
    rts
@square2:
    lda chime               ; the chime has square 2 to itself
    bne @done
    lda #$13                ; square 2: duty 12.5%, constant volume 3
    sta SQ2_VOL
    lda note_low
    sta SQ2_LO
    lda note_high
    sta SQ2_HI
    rts
@triangle:
    lda #40                 ; linear counter: 10 frames
    sta TRI_LIN
    lda note_low
    sta TRI_LO
    lda note_high
    sta TRI_HI
    rts
@rest:
    cpx #SQUARE1
    bne @done
    lda #$30                ; constant volume 0
    sta SQ1_VOL
@done:
    rts

; B5 for four frames, then E6 ringing out, on square 2 with a fast decay.
CHIME_FRAMES = 16
update_chime:
    lda chime
    beq @done
    cmp #CHIME_FRAMES
    bne :+
    ldy #B5
    bne @note
:   cmp #CHIME_FRAMES - 4
    bne @count
    ldy #E6
@note:
    lda #$82                ; duty 50%, decaying envelope
    sta SQ2_VOL
    lda period_low-1,y
    sta SQ2_LO
    lda period_high-1,y
    ora #$08
    sta SQ2_HI
@count:
    dec chime
@done:
    rts

; Drum A: 0 none, 1 kick, 2 snare, 3 hi-hat.
play_drum:
    tay
    beq @none
    lda drum_volume-1,y
    sta NOISE_VOL
    lda drum_period-1,y
    sta NOISE_LO
    lda drum_length-1,y
    sta NOISE_HI
    cpy #KICK
    bne @none
    lda #$0F                ; rate 15: 33 kHz, no loop, no interrupt
    sta DMC_FREQ
    lda #<((kick_sample - $C000) >> 6)
    sta DMC_START
    lda #15                 ; 241 bytes
    sta DMC_LEN
    lda #$1F                ; starts the sample (the other four stay on)
    sta APUSTATUS
@none:
    rts

.segment "RODATA"

; Kick and snare decay through the envelope; the hi-hat is quiet and cut after one frame.
drum_volume: .byte $02, $03, $13
drum_period: .byte $0C, $05, $02
drum_length: .byte $08, $08, 3 << 3

; Timer values for C2 ... B6: round(1789773 / (16 * f) - 1), f in equal temperament, A4 = 440.
; The triangle sounds an octave below a square with the same timer.
.define PERIODS 1709, 1613, 1523, 1437, 1356, 1280, 1208, 1140, 1076, 1016, 959, 905, 854, 806, 761, 718, 678, 640, 604, 570, 538, 507, 479, 452, 427, 403, 380, 359, 338, 319, 301, 284, 268, 253, 239, 225, 213, 201, 189, 179, 169, 159, 150, 142, 134, 126, 119, 112, 106, 100, 94, 89, 84, 79, 75, 70, 66, 63, 59, 56
period_low:  .lobytes PERIODS
period_high: .hibytes PERIODS

; Note numbers.
.enum
    REST
    C2
    Cs2
    D2
    Ds2
    E2
    F2
    Fs2
    G2
    Gs2
    A2
    As2
    B2
    C3
    Cs3
    D3
    Ds3
    E3
    F3
    Fs3
    G3
    Gs3
    A3
    As3
    B3
    C4
    Cs4
    D4
    Ds4
    E4
    F4
    Fs4
    G4
    Gs4
    A4
    As4
    B4
    C5
    Cs5
    D5
    Ds5
    E5
    F5
    Fs5
    G5
    Gs5
    A5
    As5
    B5
    C6
    Cs6
    D6
    Ds6
    E6
.endenum

KICK  = 1
SNARE = 2
HAT   = 3
LOOP  = $FF

; Event length in sixteenth notes.
.define LEN(n) ($80 | ((n) * STEP))

song_start:
    .word melody, arpeggio, bass, drums

melody:
    .byte LEN(2), G4, C5, LEN(3), E5, LEN(1), D5, LEN(2), C5, E5, LEN(4), G5
    .byte LEN(2), A5, G5, E5, C5, LEN(3), D5, LEN(1), E5, LEN(4), C5
    .byte LEN(2), F5, E5, D5, C5, A4, C5, LEN(4), F5
    .byte LEN(3), G5, LEN(1), F5, LEN(2), E5, D5, B4, D5, LEN(4), G4
    .byte LOOP

arpeggio:
    .byte LEN(1)
    .repeat 4
        .byte C4, E4, G4, C5
    .endrepeat
    .repeat 4
        .byte A3, C4, E4, A4
    .endrepeat
    .repeat 4
        .byte F3, A3, C4, F4
    .endrepeat
    .repeat 4
        .byte G3, B3, D4, G4
    .endrepeat
    .byte LOOP

bass:
    .byte LEN(2)
    .repeat 4
        .byte C4, C5
    .endrepeat
    .repeat 4
        .byte A3, A4
    .endrepeat
    .repeat 4
        .byte F3, F4
    .endrepeat
    .repeat 4
        .byte G3, G4
    .endrepeat
    .byte LOOP

drums:
    .repeat 4
        .byte LEN(2), KICK, HAT, SNARE, HAT, LEN(1), KICK, KICK, LEN(2), HAT, SNARE
        .byte LEN(1), HAT, HAT
    .endrepeat
    .byte LOOP
