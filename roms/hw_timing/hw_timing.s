; The console's timing where the classic model simplifies it: instruction costs (a page crossed
; by an indexed read costs a cycle, an indexed store and a read-modify-write always pay it, a
; taken branch costs one more and one more again across a page), the CLI latency of the IRQ
; poll, a dummy read that reaches the register it addresses, and vertical blank's length.
;
; Costs are timed with the sound chip's frame interrupt flag: $4017 = 0 starts the 4-step
; sequence, whose flag rises about 29,830 cycles later; a block of 256 passes runs first, then a
; 13-cycle loop counts until $4015 shows the flag. A block that costs 256 cycles more than the
; reference leaves about 256 / 13 = 19.7 fewer counts.
;
; RESULT ($0300): $01 when checks 1-8 passed, $80 + n when check n failed.
; $0310-$031D: the seven counts (16-bit) of the timed blocks, in the order of `blocks`.
; $0320: the vertical-blank count of check 8.
;   1 an indexed read that crosses a page costs 1 more      (count difference 19-20)
;   2 an indexed store costs 5 without a crossing           (19-20 below the 4-cycle read)
;   3 INC abs,X costs 7                                     (58-60 below the read)
;   4 a taken branch costs 3, a branch not taken 2          (19-20)
;   5 taken branches across a page cost 4: the block in RAM whose BCS and BNE both cross
;     ($06FD to $0700 and back) costs 512 more than the same-page one (39-40)
;   6 an IRQ pending at CLI is taken only after the next instruction (SEI)
;   7 LDA $21F2,X with X = $10: the dummy read of $2102 (= $2002) clears vertical blank, so the
;     read of $2202 sees it clear
;   8 the sprite-0 hit of a frame stays set through vertical blank (20 lines), cleared only at
;     the pre-render line: counted in 9-cycle steps from the NMI, 240-255

.include "nes.inc"

.export main, nmi, irq

ines_header 1, MIRROR_HORIZONTAL

COUNTS    = $0310
VBL_COUNT = $0320
RET_LO    = $00
RET_HI    = $01
STAGE     = $02           ; what the NMI handler does: 0 nothing, 1 check 7, 2 check 8
SEEN      = $03           ; the NMI handler's finding
BLOCK     = $04           ; two bytes: the block being timed
RANGE     = $06           ; the smallest count difference a check accepts (it takes 2 more)
RAM_BLOCK = $06FA

.segment "CODE"

main:
    ldx #0
:   lda ram_block,x         ; block 6 runs from RAM at $06FA, where its branches cross pages
    sta RAM_BLOCK,x
    inx
    cpx #ram_block_end - ram_block
    bne :-
    ; check 1-5: the timed blocks, each against the reference block 0
    ldx #0
@time:
    txa
    pha
    lda blocks,x
    sta BLOCK
    lda blocks+1,x
    sta BLOCK+1
    jsr time_block
    pla
    tax
    tya
    sta COUNTS+1,x
    lda SEEN
    sta COUNTS,x
    inx
    inx
    cpx #14
    bne @time

    ; differences, reference first
    lda #19
    sta RANGE
    ldx #2                  ; block 1: crossing read, 256 cycles more than block 0
    ldy #0
    lda #1
    jsr expect_slower
    ldx #4                  ; block 2: STA abs,X without a crossing, 256 more than block 0
    ldy #0
    lda #2
    jsr expect_slower
    ldx #10                 ; block 5: taken branch, 256 more than block 4 (not taken)
    ldy #8
    lda #4
    jsr expect_slower
    lda #58
    sta RANGE
    ldx #6                  ; block 3: INC abs,X, 768 more than block 0
    ldy #0
    lda #3
    jsr expect_slower
    lda #39
    sta RANGE
    ldx #12                 ; block 6: both branches across a page, 512 more than block 5
    ldy #10
    lda #5
    jsr expect_slower

; 6: an IRQ pending when CLI runs is taken after the instruction that follows it.
    lda #$00
    sta JOY2                ; 4-step, frame interrupt on; with I set it stays pending
    ldx #0
    ldy #0
:   inx                     ; about 40,000 cycles: the flag is up, the IRQ pending
    bne :-
    iny
    cpy #32
    bne :-
check6_ready:
    cli
cli_next:
    sei
sei_next:
    nop
    lda #$40
    sta JOY2                ; frame interrupt off
    lda RET_LO
    cmp #<sei_next
    bne @bad
    lda RET_HI
    cmp #>sei_next
    beq check7
@bad:
    lda #6
    jmp report_fail

; 7 and 8: in vertical blank, through the NMI handler, with a sprite-0 hit in every frame.
check7:
    jsr picture_on
    lda #1
    sta STAGE
    lda #$80
    sta PPUCTRL
:   lda STAGE
    bne :-                  ; the handler clears it when done
    lda SEEN
    and #$80
    expect_a $00, 7
    lda #2
    sta STAGE
:   lda STAGE
    bne :-
    lda SEEN
    sta VBL_COUNT
    cmp #240                ; at most 255 by its width
    bcc @bad8
    jmp report_pass
@bad8:
    lda #8
    jmp report_fail

; Times the block at BLOCK: returns the count in SEEN (low) and Y (high).
time_block:
    lda #$00
    sta JOY2                ; 4-step sequence from here, its flag in about 29,830 cycles
    lda APUSTATUS           ; a flag of an earlier sequence goes
    jsr run_block
    ldx #0
    ldy #0
@poll:
    lda APUSTATUS           ; 4
    and #$40                ; 2
    bne @done               ; 2
    inx                     ; 2
    bne @poll               ; 3
    iny
    jmp @poll
@done:
    stx SEEN
    lda #$40
    sta JOY2                ; frame interrupt off again
    rts

run_block:
    jmp (BLOCK)

; Fails check A unless count(Y) - count(X) is RANGE, RANGE + 1 or RANGE + 2 (X, Y: offsets into
; COUNTS).
expect_slower:
    pha
    sec
    lda COUNTS,y
    sbc COUNTS,x
    sta SEEN
    lda COUNTS+1,y
    sbc COUNTS+1,x
    bne @bad
    lda SEEN
    sec
    sbc RANGE
    cmp #3
    bcs @bad
    pla
    rts
@bad:
    pla
    jmp report_fail

; Background of solid tiles and sprite 0 (solid) at Y = 40 over it: a hit in every frame.
picture_on:
    fill_first_name_table $03
    lda #40
    sta OAM_SHADOW
    lda #$03
    sta OAM_SHADOW+1
    lda #0
    sta OAM_SHADOW+2
    lda #100
    sta OAM_SHADOW+3
    jsr wait_vblank
    lda #0
    sta OAMADDR
    lda #>OAM_SHADOW
    sta OAMDMA
    lda #0
    sta PPUSCROLL
    sta PPUSCROLL
    lda #$1E
    sta PPUMASK
    rts

nmi:
    pha
    txa
    pha
    lda STAGE
    cmp #1
    bne @stage2
    ldx #$10
    lda $21F2,x             ; dummy read at $2102, then the read at $2202
    sta SEEN
    lda #0
    sta STAGE
    beq @done
@stage2:
    cmp #2
    bne @done
    ldx #0
:   inx                     ; 2
    bit PPUSTATUS           ; 4
    bvs :-                  ; 3: until the hit flag clears
    stx SEEN
    lda #0
    sta STAGE
    sta PPUCTRL
@done:
    pla
    tax
    pla
    rti

; Check 6's handler: the address the IRQ returns to, then the flag cleared.
irq:
    pha
    txa
    pha
    tsx
    lda $0104,x             ; pushed: P at $0103, PC low, PC high
    sta RET_LO
    lda $0105,x
    sta RET_HI
    lda APUSTATUS           ; acknowledges the frame interrupt
    pla
    tax
    pla
    rti

; The timed blocks: 256 passes each. Each loop lies within one page, so that its branches cost
; what the comments say.
.macro one_page first
    .assert >(first) = >(* - 1), error, "a timed loop must not cross a page"
.endmacro

block_read:                 ; 0: LDA abs,X, no crossing: 4 + 2 + 3
    ldx #0
    ldy #0
@l: lda $0200,x
    dey
    bne @l
    one_page @l
    rts
block_read_cross:           ; 1: LDA abs,X across a page: 5 + 2 + 3
    ldx #$FF
    ldy #0
@l: lda $0201,x
    dey
    bne @l
    one_page @l
    rts
block_store:                ; 2: STA abs,X, no crossing: 5 + 2 + 3
    ldx #0
    ldy #0
@l: sta $0400,x
    dey
    bne @l
    one_page @l
    rts
block_inc:                  ; 3: INC abs,X: 7 + 2 + 3
    ldx #0
    ldy #0
@l: inc $0400,x
    dey
    bne @l
    one_page @l
    rts
block_not_taken:            ; 4: CLC, BCS not taken: 2 + 2 + 2 + 3
    ldy #0
@l: clc
    bcs @n
@n: dey
    bne @l
    one_page @l
    rts
block_taken:                ; 5: SEC, BCS taken, same page: 2 + 3 + 2 + 3
    ldy #0
@l: sec
    bcs @n
@n: dey
    bne @l
    one_page @l
    rts

; 6, copied to RAM_BLOCK ($06FA): SEC, BCS from $06FD to $0700 (4), DEY, BNE back from $0702 to
; $06FC (4): 2 + 4 + 2 + 4.
ram_block:
    ldy #0                  ; $06FA
    sec                     ; $06FC
    .byte $B0, $01          ; $06FD: BCS $0700
    nop                     ; $06FF: skipped
    dey                     ; $0700
    .byte $D0, $F9          ; $0701: BNE $06FC
    rts                     ; $0703
ram_block_end:

.segment "RODATA"
blocks:
    .word block_read, block_read_cross, block_store, block_inc
    .word block_not_taken, block_taken, RAM_BLOCK
