; CPU instructions end to end: a self-checking run through loads, stores, every addressing mode,
; ADC/SBC with carry and overflow, logic, compares, BIT, shifts, increments, all branches,
; JSR/RTS, the stack, PHP/PLP, RTI, JMP indirect and BRK.
;
; The checks are grouped in numbered sections (the "; ----" headings below, 1 first).
; RESULT ($0300): $01 when every check passed, $80 + n when a check of section n failed.
; DETAIL ($0301): number of the check running, counted over all sections (the total after a pass).
; $0302-$0305: A, P, X and Y as the failing check saw them (for register checks).

.include "nes.inc"

.export main, nmi, irq

ines_header 1, MIRROR_HORIZONTAL

FN = $80
FV = $40
FD = $08
FZ = $02
FC = $01
NVZC = FN | FV | FZ | FC

; Scratch memory the checks work on. Zero page $40-$5F and page $04.
ZDATA = $40
ADATA = $0450

.zeropage
t_a:     .res 1
t_p:     .res 1
t_x:     .res 1
t_y:     .res 1
brk_p:   .res 1
brk_lo:  .res 1
brk_hi:  .res 1
brk_s:   .res 1
section: .res 1

.segment "CODE"

_check .set 0
_section .set 0

; Starts the next numbered section of checks.
.macro begin_section
    _section .set _section + 1
    lda #_section
    sta section
.endmacro

; Starts the next numbered check: DETAIL = its number. Keeps A and P.
.macro next_check
    _check .set _check + 1
    php
    pha
    lda #_check
    sta DETAIL
    pla
    plp
.endmacro

; One check of the registers after the instruction under test; blank arguments are not checked.
; A must be a_val, P AND p_mask must be p_val, X must be x_val, Y must be y_val. Keeps A, X, Y
; and P, so checks can follow each other.
.macro expect a_val, p_mask, p_val, x_val, y_val
    next_check
    php
    sta t_a
    stx t_x
    sty t_y
    pla
    sta t_p
    .ifnblank a_val
        lda t_a
        cmp #a_val
        jne fail
    .endif
    .ifnblank p_mask
        lda t_p
        and #p_mask
        cmp #p_val
        jne fail
    .endif
    .ifnblank x_val
        cpx #x_val
        jne fail
    .endif
    .ifnblank y_val
        cpy #y_val
        jne fail
    .endif
    lda t_p
    pha
    lda t_a
    plp
.endmacro

; Memory at addr must hold val. Keeps A and P.
.macro expect_mem addr, val
    next_check
    php
    sta t_a
    stx t_x
    sty t_y
    pla
    sta t_p
    lda addr
    cmp #val
    jne fail
    lda t_p
    pha
    lda t_a
    plp
.endmacro

; The branch br must be taken, resp. not taken, with the flags as they are.
.macro taken br
    next_check
    br :+
    jmp fail
:
.endmacro

.macro not_taken br
    next_check
    br :+
    jmp :++
:   jmp fail
:
.endmacro

; Sets P to the byte value (through the stack); A is lost.
.macro set_p value
    lda #value
    pha
    plp
.endmacro

main:
    sei
    cld

; ---- loads set N and Z
    begin_section
    lda #$00
    expect $00, FN|FZ, FZ
    lda #$80
    expect $80, FN|FZ, FN
    lda #$7F
    expect $7F, FN|FZ, 0
    ldx #$FF
    expect , FN|FZ, FN, $FF
    ldy #$00
    expect , FN|FZ, FZ, , $00

; ---- transfers
    begin_section
    lda #$81
    tax
    expect , FN|FZ, FN, $81
    lda #$00
    tay
    expect , FN|FZ, FZ, , $00
    ldx #$42
    txa
    expect $42, FN|FZ, 0
    ldy #$C0
    tya
    expect $C0, FN|FZ, FN
    tsx
    expect , FN|FZ, FN, $FF
    ldx #$80
    lda #$00
    txs                     ; no flags: Z stays set from LDA
    expect , FN|FZ, FZ
    tsx
    expect , FN|FZ, FN, $80
    ldx #$FF
    txs

; ---- stores and loads through every addressing mode
    begin_section
    lda #$11
    sta ZDATA               ; zero page
    lda #$22
    sta ADATA               ; absolute
    ldx #$05
    lda #$33
    sta ZDATA,x             ; zero page,X
    lda #$44
    sta ADATA,x             ; absolute,X
    ldy #$06
    lda #$55
    sta ADATA,y             ; absolute,Y
    expect_mem ZDATA, $11
    expect_mem ADATA, $22
    expect_mem ZDATA+5, $33
    expect_mem ADATA+5, $44
    expect_mem ADATA+6, $55
    lda ZDATA
    expect $11
    lda ADATA
    expect $22
    ldx #$05
    lda ZDATA,x
    expect $33
    lda ADATA,x
    expect $44
    ldy #$06
    lda ADATA,y
    expect $55
    ldy #$05
    ldx ZDATA,y             ; zero page,Y
    expect , , , $33
    ldx #$05
    ldy ADATA,x
    expect , , , , $44
    ldy #$06
    ldx ADATA,y
    expect , , , $55
    ldy #$07
    stx ZDATA,y             ; STX zero page,Y
    expect_mem ZDATA+7, $55
    ldx #$08
    ldy #$66
    sty ZDATA,x             ; STY zero page,X
    expect_mem ZDATA+8, $66

    ; zero page,X wraps inside page zero: $F0 + $50 is $40, not $0140
    ldx #$50
    lda #$5A
    sta $F0,x
    expect_mem ZDATA, $5A
    expect_mem $0140, $00
    ldx #$50
    lda $F0,x
    expect $5A

    ; absolute,X and absolute,Y cross pages
    ldx #$02
    lda #$A1
    sta $04FF,x
    expect_mem $0501, $A1
    ldy #$03
    lda $04FE,y
    expect $A1

    ; (zero page,X): pointer at ZDATA+$10 -> $0460
    lda #$60
    sta ZDATA+$10
    lda #$04
    sta ZDATA+$11
    lda #$77
    sta $0460
    ldx #$10
    lda (ZDATA,x)
    expect $77
    lda #$78
    sta (ZDATA,x)
    expect_mem $0460, $78

    ; (zero page),Y: pointer $04F0 + Y $20 crosses into page $05
    lda #$F0
    sta ZDATA+$12
    lda #$04
    sta ZDATA+$13
    lda #$88
    sta $0510
    ldy #$20
    lda (ZDATA+$12),y
    expect $88
    lda #$99
    sta (ZDATA+$12),y
    expect_mem $0510, $99

; ---- ADC: carry in, carry out, signed overflow; the D flag changes nothing
    begin_section
    clc
    lda #$50
    adc #$50
    expect $A0, NVZC, FN|FV
    clc
    lda #$FF
    adc #$01
    expect $00, NVZC, FZ|FC
    clc
    lda #$80
    adc #$FF
    expect $7F, NVZC, FV|FC
    sec
    lda #$10
    adc #$20
    expect $31, NVZC, 0
    sed
    sec
    lda #$09
    adc #$05
    expect $0F, NVZC|FD, FD
    cld
    clc
    lda #$01
    adc ZDATA               ; $5A
    expect $5B, NVZC, 0
    ldx #$05
    sec
    lda #$F0
    adc ADATA,x             ; $44
    expect $35, NVZC, FC

; ---- SBC: borrow is the inverted carry
    begin_section
    sec
    lda #$00
    sbc #$01
    expect $FF, NVZC, FN
    sec
    lda #$80
    sbc #$01
    expect $7F, NVZC, FV|FC
    clc
    lda #$50
    sbc #$10
    expect $3F, NVZC, FC
    sec
    lda #$50
    sbc #$B0
    expect $A0, NVZC, FN|FV
    sec
    lda #$42
    sbc #$42
    expect $00, NVZC, FZ|FC
    sed
    sec
    lda #$10
    sbc #$01
    expect $0F, NVZC|FD, FC|FD
    cld
    sec
    lda #$60
    sbc ZDATA               ; $5A
    expect $06, NVZC, FC

; ---- AND, ORA, EOR
    begin_section
    lda #$F0
    and #$3C
    expect $30, FN|FZ, 0
    ora #$03
    expect $33, FN|FZ, 0
    eor #$FF
    expect $CC, FN|FZ, FN
    and #$33
    expect $00, FN|FZ, FZ
    lda #$0F
    ora ZDATA               ; $5A
    expect $5F, FN|FZ, 0
    eor ZDATA
    expect $05, FN|FZ, 0

; ---- CMP, CPX, CPY
    begin_section
    lda #$40
    cmp #$40
    expect $40, FN|FZ|FC, FZ|FC
    cmp #$41
    expect $40, FN|FZ|FC, FN
    cmp #$10
    expect $40, FN|FZ|FC, FC
    lda #$10
    cmp #$90
    expect $10, FN|FZ|FC, FN
    ldx #$80
    cpx #$7F
    expect , FN|FZ|FC, FC, $80
    ldy #$00
    cpy #$01
    expect , FN|FZ|FC, FN, , $00
    ldx #$5A
    cpx ZDATA
    expect , FN|FZ|FC, FZ|FC
    ldy #$21
    cpy ADATA               ; $22
    expect , FN|FZ|FC, FN

; ---- BIT: Z from A AND M, N and V from M; A unchanged
    begin_section
    lda #$C0
    sta ZDATA+$14
    lda #$01
    bit ZDATA+$14
    expect $01, FN|FV|FZ, FN|FV|FZ
    lda #$3F
    sta ZDATA+$15
    bit ZDATA+$15
    expect $3F, FN|FV|FZ, 0
    lda #$02
    bit ADATA               ; $22
    expect $02, FN|FV|FZ, 0

; ---- shifts and rotates, accumulator and memory
    begin_section
    lda #$81
    asl a
    expect $02, FN|FZ|FC, FC
    lda #$40
    asl a
    expect $80, FN|FZ|FC, FN
    lda #$01
    lsr a
    expect $00, FN|FZ|FC, FZ|FC
    lda #$80
    sec
    rol a
    expect $01, FN|FZ|FC, FC
    lda #$01
    sec
    ror a
    expect $80, FN|FZ|FC, FN|FC
    clc
    lda #$01
    ror a
    expect $00, FN|FZ|FC, FZ|FC
    lda #$C1
    sta ZDATA+$16
    asl ZDATA+$16
    expect_mem ZDATA+$16, $82
    expect , FC, FC
    lsr ZDATA+$16
    expect_mem ZDATA+$16, $41
    expect , FN|FC, 0
    sec
    rol ZDATA+$16
    expect_mem ZDATA+$16, $83
    expect , FC, 0
    clc
    ror ZDATA+$16
    expect_mem ZDATA+$16, $41
    expect , FN|FC, FC
    lda #$01
    sta $0462
    ldx #$02
    asl $0460,x
    expect_mem $0462, $02
    sec
    ror $0460,x
    expect_mem $0462, $81
    ldx #$06
    lsr ZDATA+$10,x
    expect_mem ZDATA+$16, $20
    expect , FC, FC

; ---- increments and decrements wrap at 8 bits and leave C alone
    begin_section
    lda #$FF
    sta ZDATA+$17
    sec
    inc ZDATA+$17
    expect_mem ZDATA+$17, $00
    expect , FN|FZ|FC, FZ|FC
    clc
    dec ZDATA+$17
    expect_mem ZDATA+$17, $FF
    expect , FN|FZ|FC, FN
    ldx #$02
    inc ADATA,x
    expect_mem ADATA+2, $01
    dec ADATA
    expect_mem ADATA, $21
    ldx #$FF
    inx
    expect , FN|FZ, FZ, $00
    dex
    expect , FN|FZ, FN, $FF
    ldy #$7F
    iny
    expect , FN|FZ, FN, , $80
    dey
    expect , FN|FZ, 0, , $7F

; ---- branches on every flag, both ways
    begin_section
    set_p $C3               ; N V Z C set
    taken bmi
    not_taken bpl
    taken bvs
    not_taken bvc
    taken beq
    not_taken bne
    taken bcs
    not_taken bcc
    set_p $00
    not_taken bmi
    taken bpl
    not_taken bvs
    taken bvc
    not_taken beq
    taken bne
    not_taken bcs
    taken bcc
    ldx #$05                ; a backward branch as a loop
    ldy #$00
@loop:
    iny
    dex
    bne @loop
    expect , , , $00, $05

; ---- flag instructions
    begin_section
    sec
    expect , FC, FC
    clc
    expect , FC, 0
    lda #$40
    sta ZDATA+$18
    bit ZDATA+$18
    expect , FV, FV
    clv
    expect , FV, 0
    sed
    expect , FD, FD
    cld
    expect , FD, 0
    cli
    expect , $04, 0
    sei
    expect , $04, $04
    set_p $C3
    nop
    expect , NVZC, NVZC

; ---- JSR and RTS
    begin_section
    ldx #$00
    jsr inc_x
    jsr inc_x_twice
    expect , , , $03
jsr_site:
    jsr peek_return
    expect_mem ZDATA+$19, <(jsr_site + 2)
    expect_mem ZDATA+$1A, >(jsr_site + 2)
    tsx
    expect , , , $FF        ; every push was pulled again

; ---- the stack: PHA/PLA, wrap of S, PHP/PLP
    begin_section
    lda #$A5
    pha
    lda #$00
    pla
    expect $A5, FN|FZ, FN
    lda #$5A
    pha
    expect_mem $01FF, $5A
    tsx
    expect , , , $FE
    pla
    ldx #$00
    txs
    lda #$3C
    pha                     ; S = $00: the byte goes to $0100 and S wraps to $FF
    expect_mem $0100, $3C
    tsx
    expect , , , $FF
    lda #$00
    pla                     ; S wraps back to $00, reading $0100
    expect $3C
    tsx
    expect , , , $00
    ldx #$FF
    txs
    lda #$C3
    pha
    plp
    expect , NVZC, NVZC
    php
    pla
    and #$CF
    expect $C3
    lda #$00
    pha
    plp
    expect , NVZC, 0

; ---- RTI pulls P and then the return address
    begin_section
    lda #>rti_target
    pha
    lda #<rti_target
    pha
    lda #$C3
    pha
    lda #$00
    rti
    jmp fail
rti_target:
    expect , NVZC, NVZC
    sei

; ---- JMP (indirect)
    begin_section
    lda #<jmp_target
    sta $0470
    lda #>jmp_target
    sta $0471
    jmp ($0470)
    jmp fail
jmp_target:
    expect_mem $0470, <jmp_target

; ---- BRK: pushes its address + 2 and P with B set, then runs the IRQ/BRK vector
    begin_section
    lda #$00
    sta brk_s
brk_site:
    brk
    .byte $EA               ; the byte that BRK skips
    lda brk_s
    expect_mem brk_lo, <(brk_site + 2)
    expect_mem brk_hi, >(brk_site + 2)
    lda brk_p
    and #$10
    expect $10
    lda brk_s
    expect $FC              ; BRK pushed three bytes below $FF
    tsx
    expect , , , $FF

    jmp report_pass

; Stores the registers that the failing check saw next to its number and ends the test.
fail:
    lda t_a
    sta DETAIL+1
    lda t_p
    sta DETAIL+2
    lda t_x
    sta DETAIL+3
    lda t_y
    sta DETAIL+4
    lda section
    jmp report_fail

inc_x:
    inx
    rts

inc_x_twice:
    jsr inc_x
    jsr inc_x
    rts

; Copies the return address that JSR pushed to ZDATA+$19/$1A.
peek_return:
    tsx
    lda $0101,x
    sta ZDATA+$19
    lda $0102,x
    sta ZDATA+$1A
    rts

; BRK lands here: keep the pushed P and return address and the stack pointer.
irq:
    pha
    txa
    pha
    tsx
    lda $0103,x
    sta brk_p
    lda $0104,x
    sta brk_lo
    lda $0105,x
    sta brk_hi
    txa
    clc
    adc #2
    sta brk_s
    pla
    tax
    pla
nmi:
    rti
