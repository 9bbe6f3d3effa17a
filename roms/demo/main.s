; Vantrell demo cartridge: a landscape that scrolls across two name tables under a status bar
; held still by a sprite-0 split, a player that joypad 1 moves, birds and coins that move on
; their own, and a tune on both squares, the triangle and the noise channel.
;
; Frame timing: the NMI (start of vertical blank) copies the sprites, updates the coin counter,
; sets the unscrolled status-bar view, runs the music, and then waits for sprite 0 at the foot
; of the status bar (line 30) to switch to the scrolled view for the rest of the picture. The
; switch takes effect on line 31 or 32, depending on how much of line 30's time is left; line
; 31 is dark in both views, so either way the status bar ends cleanly. The main loop runs
; after that, during the picture, and prepares the next frame.
;
; The player is sprites 1-4; its left X is at $0207 (sprite 1's X in the shadow page).

.include "demo.inc"

.export main, nmi, irq

ines_header 2, MIRROR_VERTICAL

; $2000: NMI on, background patterns at $0000, sprite patterns at $1000.
CTRL_BASE = $88

.zeropage
frame_count:     .res 1
scroll_x:        .res 2     ; 0-511 across the two name tables
pad:             .res 1     ; joypad 1, bit 0 = A ... bit 7 = Right
temp:            .res 1
temp2:           .res 1
player_x:        .res 1
player_y:        .res 1
player_facing:   .res 1     ; 0 right, $40 left (the sprite flip bit)
player_step:     .res 1     ; counts frames of walking
coins_collected: .res 1
frame_ready:     .res 1     ; set by the main loop when the shadow sprites are complete
split_ctrl:      .res 1     ; $2000 and $2005 for the scrolled part, kept by the main loop
split_x:         .res 1

.segment "CODE"

main:
    lda #$00
    sta PPUMASK
    jsr set_palettes
    jsr draw_status_bar
    jsr draw_world
    jsr sprites_init
    jsr sprites_update
    jsr music_init
    jsr prepare_split
    lda #>OAM_SHADOW        ; sprite 0 must be in place before the first split
    sta OAMDMA

    jsr wait_vblank
    lda #CTRL_BASE
    sta PPUCTRL
    bit PPUSTATUS
    lda #$00
    sta PPUSCROLL
    sta PPUSCROLL
    lda #$1E                ; background and sprites, also in the leftmost 8 pixels
    sta PPUMASK

@loop:
    lda frame_count
:   cmp frame_count         ; wait until the NMI has run the frame's start
    beq :-
    jsr read_joypad
    inc scroll_x            ; one pixel a frame, wrapping at 512
    bne :+
    lda scroll_x+1
    eor #$01
    sta scroll_x+1
:   jsr prepare_split
    jsr sprites_update
    lda #1
    sta frame_ready
    jmp @loop

; The $2000 value (name table bit from bit 8 of the scroll) and fine scroll for the split.
prepare_split:
    lda scroll_x+1
    and #$01
    ora #CTRL_BASE
    sta split_ctrl
    lda scroll_x
    sta split_x
    rts

; Reads joypad 1 into `pad`: strobe, then eight reads, bit 0 of the first read into bit 0.
read_joypad:
    lda #$01
    sta JOY1
    lda #$00
    sta JOY1
    ldx #8
:   lda JOY1
    lsr a
    ror pad
    dex
    bne :-
    rts

nmi:
    pha
    txa
    pha
    tya
    pha

    lda frame_ready
    beq @no_upload          ; the main loop is late: show the previous sprites again
    lda #>OAM_SHADOW
    sta OAMDMA
    jsr upload_counter
    lda #0
    sta frame_ready
@no_upload:
    lda #CTRL_BASE          ; status bar: name table $2000, no scroll
    sta PPUCTRL
    bit PPUSTATUS
    lda #$00
    sta PPUSCROLL
    sta PPUSCROLL
    jsr music_update
    inc frame_count

    ; wait for sprite 0 at the foot of the status bar; give up after about 100 lines. The
    ; console clears the last frame's hit only at the end of vertical blank: wait for that first.
:   bit PPUSTATUS
    bvs :-
    ldy #4
    ldx #0
:   bit PPUSTATUS
    bvs @split
    dex
    bne :-
    dey
    bne :-
    beq @done
@split:
    lda split_ctrl
    sta PPUCTRL
    lda split_x
    sta PPUSCROLL
    sta PPUSCROLL           ; the second write only resets the toggle during the picture
@done:
    pla
    tay
    pla
    tax
    pla
irq:
    rti

; Writes the coin counter (three digits) into the status bar.
upload_counter:
    bit PPUSTATUS
    lda #>($2000 + 2 * 32 + 26)
    sta PPUADDR
    lda #<($2000 + 2 * 32 + 26)
    sta PPUADDR
    lda coins_collected
    ldx #TILE_DIGIT_0 - 1
    sec
:   inx                     ; hundreds
    sbc #100
    bcs :-
    adc #100
    stx PPUDATA
    ldx #TILE_DIGIT_0 - 1
    sec
:   inx                     ; tens
    sbc #10
    bcs :-
    adc #10 + TILE_DIGIT_0
    stx PPUDATA
    sta PPUDATA             ; ones
    rts
