; The picture processor's registers and latches: $2002 clears vertical blank and the write toggle,
; $2006/$2007 with the dummy $FF read after an address write and no read buffer, increments of 1
; and 32, the toggle shared by $2005 and $2006, undecoded register mirrors, and $2000 bit 1
; frozen during the visible lines.
;
; RESULT ($0300): $01 when checks 1-8 passed, $80 + n when check n failed.
; $0301: the $2002 read that showed vertical blank, $0302: the read right after it. $0310-$0314: the five $2007 reads of check 4.
; $0318-$031B: the four $2007 reads of check 5 (increment 32).
; After the checks the cartridge shows name table $2800 (all colour 2): it writes $2000 = $02
; in vertical blank and $2000 = $00 in the middle of the picture, which must not take bit 1, so
; every displayed line is colour 2 of background palette 0 ($2A).

.include "nes.inc"

.export main, nmi, irq

ines_header 1, MIRROR_HORIZONTAL

.segment "CODE"

; Reads one byte from PPU address `address` the way this machine needs: after the address write
; the first $2007 read is a dummy.
.macro read_vram address
    ppu_addr address
    lda PPUDATA
    lda PPUDATA
.endmacro

main:
; 1: reading $2002 returns vertical blank once and clears it.
    jsr wait_vblank_keep
    sta DETAIL
    lda PPUSTATUS
    sta DETAIL+1
    lda DETAIL
    and #$80
    expect_a $80, 1
    lda DETAIL+1
    and #$80
    expect_a $00, 1

; 2: reading $2002 clears the write toggle: a lone $2006 write is forgotten.
    ppu_addr $2400
    lda #$A7
    sta PPUDATA             ; $2400 = $A7
    lda #$3B
    sta PPUADDR             ; first half of an address ...
    bit PPUSTATUS           ; ... dropped by the toggle reset
    lda #$24
    sta PPUADDR
    lda #$00
    sta PPUADDR             ; so this is $2400 again
    lda PPUDATA             ; dummy
    lda PPUDATA
    expect_a $A7, 2

; 3: the first $2007 read after an address write returns $FF.
    ppu_addr $2400
    lda PPUDATA
    expect_a $FF, 3

; 4: the dummy read does not move the address, and each real read returns its own byte at once
;    (no read buffer): $FF, $10, $11, $12, $13.
    ppu_addr $2100
    ldx #$10
:   stx PPUDATA
    inx
    cpx #$14
    bne :-
    ppu_addr $2100
    ldx #0
:   lda PPUDATA
    sta DETAIL+$0F,x
    inx
    cpx #5
    bne :-
    lda DETAIL+$0F
    expect_a $FF, 4
    lda DETAIL+$10
    expect_a $10, 4
    lda DETAIL+$11
    expect_a $11, 4
    lda DETAIL+$12
    expect_a $12, 4
    lda DETAIL+$13
    expect_a $13, 4

; 5: $2000 bit 2 makes the address step by 32, for writes and reads alike.
    lda #$04
    sta PPUCTRL
    ppu_addr $2200
    lda #$20
    sta PPUDATA             ; $2200
    lda #$21
    sta PPUDATA             ; $2220
    lda #$22
    sta PPUDATA             ; $2240
    ppu_addr $2200
    ldx #0
:   lda PPUDATA
    sta DETAIL+$17,x
    inx
    cpx #4
    bne :-
    lda #$00
    sta PPUCTRL
    lda DETAIL+$18
    expect_a $20, 5
    lda DETAIL+$19
    expect_a $21, 5
    lda DETAIL+$1A
    expect_a $22, 5
    read_vram $2201         ; untouched by the steps of 32
    expect_a $00, 5
    read_vram $2220
    expect_a $21, 5

; 6: a $2007 write ends the dummy-read state: the next read returns data.
    ppu_addr $2301
    lda #$66
    sta PPUDATA             ; $2301 = $66
    ppu_addr $2300
    lda #$55
    sta PPUDATA             ; $2300 = $55, address now $2301
    lda PPUDATA
    expect_a $66, 6

; 7: $2005 and $2006 share one toggle: after a $2005 write, a $2006 write is the low half.
    ppu_addr $2180
    lda #$77
    sta PPUDATA             ; $2180 = $77
    ppu_addr $2100          ; high byte $21, toggle clear
    lda #$00
    sta PPUSCROLL           ; toggle set
    lda #$80
    sta PPUADDR             ; second half: address $2180
    lda PPUDATA
    lda PPUDATA
    expect_a $77, 7
    bit PPUSTATUS
    lda #$00
    sta PPUSCROLL
    sta PPUSCROLL

; 8: the mirrors $2008-$3FFF are not decoded: writes to $200E do not move the address, and a
;    read of $200A in vertical blank returns flat memory (0) and leaves the flag for $2002.
    ppu_addr $2350
    lda #$26
    sta $200E
    lda #$50
    sta $200E
    lda #$5C
    sta PPUDATA             ; still $2350, not $2650
    read_vram $2350
    expect_a $5C, 8
    read_vram $2650
    expect_a $00, 8
    jsr wait_vblank         ; then wait a frame and 6 lines, into the next vertical blank
    ldy #24
    ldx #0
:   dex
    bne :-
    dey
    bne :-
    lda $200A
    expect_a $00, 8
    lda PPUSTATUS
    and #$80
    expect_a $80, 8

    lda #RESULT_PASS
    sta RESULT

; The picture: name table $2800 all tile 2 (colour 2), name table $2000 all tile 1 (colour 1).
    lda #$00
    sta PPUMASK
    ppu_addr $2000
    lda #$01
    jsr fill_name_table
    ppu_addr $2800
    lda #$02
    jsr fill_name_table
    ppu_addr $3F00
    ldx #0
:   lda palette,x
    sta PPUDATA
    inx
    cpx #4
    bne :-
    jsr wait_vblank
    lda #$08
    sta PPUMASK             ; background on

frame:
    jsr wait_vblank
    lda #$02                ; name table $2800, taken in vertical blank
    sta PPUCTRL
    lda #$00
    sta PPUSCROLL
    sta PPUSCROLL
    ldy #11                 ; about 100 lines into the picture
    ldx #0
:   dex
    bne :-
    dey
    bne :-
    lda #$00                ; bit 1 cannot change here
    sta PPUCTRL
    jmp frame

; Writes A to the 960 tiles of the name table at the current address and 0 to its attributes.
fill_name_table:
    ldy #3
    ldx #0
:   sta PPUDATA
    inx
    bne :-
    dey
    bne :-
    ldx #192
:   sta PPUDATA
    dex
    bne :-
    lda #$00
    ldx #64
:   sta PPUDATA
    dex
    bne :-
    rts

; Waits for vertical blank and returns the $2002 value that showed it in A.
wait_vblank_keep:
:   lda PPUSTATUS
    bpl :-
    rts

palette:
    .byte $0F, $16, $2A, $12

nmi:
irq:
    rti
