; Sprites: the split marker (sprite 0), the player that joypad 1 moves, three birds that fly
; across on a wave, and two coins that ride with the landscape and can be collected.

.include "demo.inc"

PLAYER_MIN_X = 8
PLAYER_MAX_X = 232
PLAYER_MIN_Y = 40
PLAYER_MAX_Y = 200
HIDDEN_Y     = $FF

.zeropage
bird_x:      .res BIRD_COUNT
bird_phase:  .res BIRD_COUNT
coin_x:      .res COIN_COUNT * 2    ; landscape position 0-511, low bytes then high bytes
coin_sx:     .res 1                 ; the current coin's screen X

.segment "CODE"

sprites_init:
    lda #29                 ; sprite 0 over the foot of the status bar (line 30), behind it
    sta OAM_SHADOW
    lda #SPR_SPLIT
    sta OAM_SHADOW+1
    lda #$23
    sta OAM_SHADOW+2
    lda #240
    sta OAM_SHADOW+3
    lda #64
    sta player_x
    lda #160
    sta player_y
    ldx #BIRD_COUNT - 1
:   lda bird_start_x,x
    sta bird_x,x
    lda bird_start_phase,x
    sta bird_phase,x
    dex
    bpl :-
    ldx #COIN_COUNT * 2 - 1
:   lda coin_start_x,x
    sta coin_x,x
    dex
    bpl :-
    rts

sprites_update:
    jsr move_player
    jsr draw_player
    jsr draw_birds
    jmp draw_coins

; D-pad moves one pixel a frame (two with B held); Left and Right also turn the player.
move_player:
    lda #1
    sta temp
    lda pad
    and #BUTTON_B
    beq :+
    inc temp
:   lda pad
    and #BUTTON_LEFT | BUTTON_RIGHT | BUTTON_UP | BUTTON_DOWN
    beq :+
    inc player_step
:   lda pad
    and #BUTTON_RIGHT
    beq @not_right
    lda #$00
    sta player_facing
    lda player_x
    clc
    adc temp
    cmp #PLAYER_MAX_X
    bcc :+
    lda #PLAYER_MAX_X
:   sta player_x
@not_right:
    lda pad
    and #BUTTON_LEFT
    beq @not_left
    lda #$40
    sta player_facing
    lda player_x
    sec
    sbc temp
    cmp #PLAYER_MIN_X
    bcs :+
    lda #PLAYER_MIN_X
:   sta player_x
@not_left:
    lda pad
    and #BUTTON_DOWN
    beq @not_down
    lda player_y
    clc
    adc temp
    cmp #PLAYER_MAX_Y
    bcc :+
    lda #PLAYER_MAX_Y
:   sta player_y
@not_down:
    lda pad
    and #BUTTON_UP
    beq @not_up
    lda player_y
    sec
    sbc temp
    cmp #PLAYER_MIN_Y
    bcs :+
    lda #PLAYER_MIN_Y
:   sta player_y
@not_up:
    rts

; Four sprites; facing left flips each tile and puts the right-hand tiles on the left.
draw_player:
    lda player_step         ; walking frame: alternate every 8 frames of movement
    and #$08
    lsr a                   ; 0 or 4 tiles further
    clc
    adc #SPR_PLAYER
    sta temp
    ldx #0                  ; X = sprite offset, Y = piece 0-3
    ldy #0
@piece:
    lda player_y
    clc
    adc piece_dy,y
    sta OAM_PLAYER,x
    tya
    bit player_facing
    bvc :+
    eor #$01                ; the other column's tile
:   clc
    adc temp
    sta OAM_PLAYER+1,x
    lda player_facing
    sta OAM_PLAYER+2,x      ; palette 0, flipped when facing left
    lda piece_dx,y
    clc
    adc player_x
    sta OAM_PLAYER+3,x
    inx
    inx
    inx
    inx
    iny
    cpy #4
    bne @piece
    rts

; Birds fly left at one pixel a frame over the scrolling sky and bob on a sine wave; each is two
; sprites, and the right half is hidden while it would wrap to the left edge.
draw_birds:
    ldy #0                  ; Y = bird, X = sprite offset
    ldx #0
@bird:
    lda bird_x,y
    sec
    sbc #1
    sta bird_x,y
    lda bird_phase,y
    clc
    adc #3
    sta bird_phase,y
    lsr a
    lsr a
    lsr a
    and #$1F
    sty temp2
    tay
    lda wave,y
    ldy temp2
    clc
    adc bird_base_y,y
    sta OAM_BIRDS,x
    sta OAM_BIRDS+4,x
    lda frame_count         ; flap every 8 frames
    and #$08
    lsr a
    lsr a                   ; 0 or 2
    adc #SPR_BIRD
    sta OAM_BIRDS+1,x
    adc #1
    sta OAM_BIRDS+5,x
    lda #$01                ; palette 1
    sta OAM_BIRDS+2,x
    sta OAM_BIRDS+6,x
    lda bird_x,y
    sta OAM_BIRDS+3,x
    clc
    adc #8
    sta OAM_BIRDS+7,x
    bcc :+
    lda #HIDDEN_Y
    sta OAM_BIRDS+4,x
:   txa
    clc
    adc #8
    tax
    iny
    cpy #BIRD_COUNT
    bne @bird
    rts

; Coins keep their place in the landscape: screen X = landscape X - scroll, shown while that
; lies within 0-248. Touching one counts it and sends it half the landscape further on.
draw_coins:
    ldy #0                  ; Y = coin, X = sprite offset
    ldx #0
@coin:
    lda coin_x,y
    sec
    sbc scroll_x
    sta coin_sx
    lda coin_x+COIN_COUNT,y
    sbc scroll_x+1
    and #$01
    bne @hide
    lda coin_sx
    cmp #249
    bcs @hide
    jsr touch_coin
    bcs @hide
    lda frame_count         ; a little bob, and a spin of four steps (full, half, edge, half)
    lsr a
    lsr a
    lsr a
    and #$03
    sta temp
    lda frame_count
    lsr a
    lsr a
    lsr a
    lsr a
    and #$07
    sty temp2
    tay
    lda coin_bob,y
    ldy temp2
    clc
    adc coin_base_y,y
    sta OAM_COINS,x
    lda temp
    cmp #3
    bne :+
    lda #1
:   clc
    adc #SPR_COIN
    sta OAM_COINS+1,x
    lda temp                ; the second half-turn is the first one mirrored
    cmp #3
    lda #$02                ; palette 2
    bcc :+
    ora #$40
:   sta OAM_COINS+2,x
    lda coin_sx
    sta OAM_COINS+3,x
    jmp @next
@hide:
    lda #HIDDEN_Y
    sta OAM_COINS,x
@next:
    inx
    inx
    inx
    inx
    iny
    cpy #COIN_COUNT
    bne @coin
    rts

; Carry set when the player touches coin Y (at screen X coin_sx); the coin is then counted and
; moved 256 pixels on in the landscape.
touch_coin:
    lda coin_sx
    clc
    adc #8
    sec
    sbc player_x            ; overlap when coin_sx + 8 - player_x is in 0 ... 23
    cmp #24
    bcs @miss
    lda coin_base_y,y
    clc
    adc #8
    sec
    sbc player_y
    cmp #24
    bcs @miss
    inc coins_collected
    jsr play_chime
    lda coin_x+COIN_COUNT,y
    eor #$01
    sta coin_x+COIN_COUNT,y
    sec
    rts
@miss:
    clc
    rts

.segment "RODATA"

piece_dx: .byte 0, 8, 0, 8
piece_dy: .byte 0, 0, 8, 8

bird_start_x:     .byte 40, 140, 220
bird_start_phase: .byte 0, 90, 170
bird_base_y:      .byte 52, 76, 62

coin_start_x: .byte <300, <420      ; low bytes
              .byte >300, >420      ; high bytes
coin_base_y:  .byte 132, 118
coin_bob:     .byte 0, 1, 2, 2, 2, 1, 0, 0

; 32 steps of a sine wave, amplitude 8.
wave:
    .byte 8, 10, 11, 13, 14, 15, 16, 16, 16, 16, 15, 14, 13, 11, 10, 8
    .byte 8, 6, 5, 3, 2, 1, 0, 0, 0, 0, 1, 2, 3, 5, 6, 8
