; The background: palettes, the status bar, and the 64-column landscape (clouds, far mountains,
; near hills with bushes, grass over a brick ground), built column by column into both name
; tables. The near hills are never higher than the mountains are low, so their tiles always
; have the mountains behind them.

.include "demo.inc"

.segment "BSS"
column_tiles: .res COLUMN_HEIGHT  ; rows FIRST_ROW ... LAST_ROW of the column being built

.zeropage
column:       .res 1
left_height:  .res 1        ; hill height at the column's left and right edges, in tiles
right_height: .res 1

.segment "CODE"

set_palettes:
    ppu_addr $3F00
    ldx #0
:   lda palettes,x
    sta PPUDATA
    inx
    cpx #32
    bne :-
    rts

; Status bar: name table $2000 rows 0-3 (row 0 dark, a framed row of text in rows 1-3).
draw_status_bar:
    ppu_addr $2000
    ldx #0
:   lda status_bar,x
    sta PPUDATA
    inx
    cpx #STATUS_ROWS * 32
    bne :-
    rts

draw_world:
    ; the status rows of $2400 are dark, so that the line below the split looks the same
    ; scrolled or not; attributes by bands of rows in both name tables
    ppu_addr $2400
    lda #TILE_DARK
    ldx #STATUS_ROWS * 32
:   sta PPUDATA
    dex
    bne :-
    ppu_addr $23C0
    jsr write_attributes
    ppu_addr $27C0
    jsr write_attributes

    lda #$04                ; name-table writes go down a column
    sta PPUCTRL
    lda #0
    sta column
@next:
    jsr build_column
    bit PPUSTATUS
    lda column
    and #$20
    lsr a
    lsr a
    lsr a                   ; $04 for the right-hand name table
    ora #>($2000 + FIRST_ROW * 32)
    sta PPUADDR
    lda column
    and #$1F
    ora #<($2000 + FIRST_ROW * 32)
    sta PPUADDR
    ldx #0
:   lda column_tiles,x
    sta PPUDATA
    inx
    cpx #COLUMN_HEIGHT
    bne :-
    inc column
    lda column
    cmp #WORLD_COLUMNS
    bne @next
    lda #$00
    sta PPUCTRL
    rts

; Eight attribute rows of eight equal bytes each.
write_attributes:
    ldy #0
@row:
    lda attribute_rows,y
    ldx #8
:   sta PPUDATA
    dex
    bne :-
    iny
    cpy #8
    bne @row
    rts

; Fills column_tiles for `column`: sky, clouds, the hill profile, bushes, grass and bricks.
build_column:
    ldx #COLUMN_HEIGHT - 1
    lda #TILE_SKY
:   sta column_tiles,x
    dex
    bpl :-

    ; ground: grass on top (two variants by column), then bricks
    lda column
    and #$01
    ora #TILE_GRASS
    sta column_tiles + GRASS_ROW - FIRST_ROW
    lda #TILE_BRICK
    ldx #LAST_ROW - FIRST_ROW
:   sta column_tiles,x
    dex
    cpx #GRASS_ROW - FIRST_ROW
    bne :-

    ; mountains: filled up to the lower of the two edge heights, a slope above when they differ
    ldy column
    lda mountain_heights+1,y
    sta left_height
    lda mountain_heights+2,y
    sta right_height
    cmp left_height
    bcc :+
    lda left_height         ; A = the lower height
:   tay
    ldx #GRASS_ROW - FIRST_ROW - 1
:   lda #TILE_MOUNTAIN
    sta column_tiles,x
    dex
    dey
    bne :-
    lda right_height
    cmp left_height
    beq @hill
    lda #TILE_MOUNTAIN_UP
    bcs :+
    lda #TILE_MOUNTAIN_DOWN
:   sta column_tiles,x

@hill:
    ; near hill: filled up to the lower of the two edge heights, then the surface tile
    ldy column
    lda hill_heights+1,y
    sta left_height
    lda hill_heights+2,y
    sta right_height
    cmp left_height
    bcc :+
    lda left_height         ; A = the lower height
:   tay
    ldx #GRASS_ROW - FIRST_ROW - 1  ; X = index of the row above the grass
    tya
    beq @surface
:   lda #TILE_HILL
    sta column_tiles,x
    dex
    dey
    bne :-
@surface:                   ; X = index of the row above the fill
    lda right_height
    cmp left_height
    beq @flat
    bcc @down
    ; rising: a slope, or the left half of a dome when the next column falls back
    ldy column
    lda hill_heights+3,y
    cmp left_height
    bne :+
    lda #TILE_DOME
    bne @store
:   lda #TILE_HILL_UP
    bne @store
@down:
    ldy column
    lda hill_heights,y
    cmp right_height
    bne :+
    lda #TILE_DOME + 1
    bne @store
:   lda #TILE_HILL_DOWN
@store:
    sta column_tiles,x
    jmp @bush
@flat:
    lda left_height
    beq @bush
    lda #TILE_HILL_TOP
    sta column_tiles+1,x

@bush:
    ldy column
    lda bush_columns,y
    beq @clouds
    clc
    adc #TILE_BUSH - 1
    sta column_tiles + GRASS_ROW - FIRST_ROW - 1

@clouds:
    ldy #CLOUD_COUNT - 1
@cloud:
    lda column
    sec
    sbc cloud_column,y
    and #WORLD_COLUMNS - 1
    cmp #4
    bcs @not_here
    clc
    adc #TILE_CLOUD
    ldx cloud_row,y
    sta column_tiles - FIRST_ROW,x
    adc #4
    sta column_tiles - FIRST_ROW + 1,x
@not_here:
    dey
    bpl @cloud
    rts

.segment "RODATA"

palettes:
    .byte $22, $30, $28, $01    ; status bar: white, gold, dark blue
    .byte $22, $30, $31, $21    ; clouds: white, pale blue
    .byte $22, $2A, $1A, $1C    ; hills and bushes: light and mid green; mountains: teal
    .byte $22, $2A, $17, $07    ; ground: grass, brick, mortar
    .byte $22, $16, $37, $0F    ; player: red, skin, black
    .byte $22, $30, $27, $0F    ; birds: white, orange, black
    .byte $22, $28, $38, $17    ; coins: gold, light gold, brown
    .byte $22, $01, $01, $01    ; the split marker

; Per band of four rows: status bar, clouds, clouds, mountains and hills (two bands), hills
; over ground, ground, ground.
attribute_rows:
    .byte $00, $55, $55, $AA, $AA, $FA, $FF, $FF

; Hill height in tiles at the left edge of each column, with the neighbours for the wrap:
; entry 0 is the edge before column 0 (= edge 63), entries 1-65 the edges 0-64 (64 = 0),
; entry 66 edge 65 (= 1). Neighbouring edges differ by at most one.
hill_heights:
    .byte 0
    .byte 0, 0, 1, 2, 3, 3, 3, 2,  1, 0, 0, 0, 0, 1, 2, 2
    .byte 3, 4, 5, 4, 3, 2, 1, 0,  0, 0, 0, 0, 0, 1, 2, 1
    .byte 0, 0, 1, 2, 3, 4, 4, 4,  4, 3, 2, 1, 0, 0, 0, 0
    .byte 0, 1, 2, 3, 4, 5, 6, 5,  4, 3, 2, 2, 2, 1, 0, 0
    .byte 0, 0

; The far mountains, laid out like hill_heights; 6 to 10 rows high.
mountain_heights:
    .byte 6
    .byte 6, 7, 8, 9, 10, 9, 8, 7,  6, 7, 8, 8, 9, 8, 7, 6
    .byte 6, 7, 8, 9, 10, 10, 9, 8,  7, 6, 7, 8, 7, 6, 6, 7
    .byte 8, 9, 10, 9, 8, 7, 6, 6,  7, 8, 9, 9, 8, 7, 6, 7
    .byte 8, 9, 10, 9, 8, 7, 6, 6,  7, 8, 7, 6, 6, 7, 7, 6
    .byte 6, 7

; 1 and 2 mark the two halves of a bush (on flat ground only).
bush_columns:
    .byte 0, 0, 0, 0, 0, 0, 0, 0,  0, 0, 1, 2, 0, 0, 0, 0
    .byte 0, 0, 0, 0, 0, 0, 0, 0,  1, 2, 1, 2, 0, 0, 0, 0
    .byte 0, 0, 0, 0, 0, 0, 0, 0,  0, 0, 0, 0, 0, 1, 2, 0
    .byte 0, 0, 0, 0, 0, 0, 0, 0,  0, 0, 0, 0, 0, 0, 0, 0

CLOUD_COUNT = 6
cloud_column: .byte 3, 14, 25, 36, 46, 56
cloud_row:    .byte 5, 9, 6, 4, 10, 7

; Status bar rows 0-3.
status_bar:
    .res 32, TILE_DARK
    .byte TILE_DARK
    .res 30, TILE_FRAME_TOP
    .byte TILE_DARK
    .byte TILE_DARK, " VANTRELL   NES DEMO   "
    .byte TILE_COIN_ICON, " 000  ", TILE_DARK
    .byte TILE_DARK
    .res 30, TILE_FRAME_BOTTOM
    .byte TILE_DARK
