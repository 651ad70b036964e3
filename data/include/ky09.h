/* ky09.h - the on-board I/O registers of the KY09 board as volatile
 * objects. Each ACIA must be master-reset (ACIAn_CONTROL = 0x03) before
 * it sends or receives. A PIA data register reaches the data direction
 * register while bit 2 of its control register is clear. */
#ifndef _KY09_H
#define _KY09_H

#define KY09_REG(addr) (*(volatile unsigned char *)(addr))

/* MC6850 ACIA 2 at 0xE024, ACIA 1 (the console) at 0xE028 */
#define ACIA2_CONTROL KY09_REG(0xE024) /* write */
#define ACIA2_STATUS KY09_REG(0xE024)  /* read */
#define ACIA2_DATA KY09_REG(0xE025)
#define ACIA1_CONTROL KY09_REG(0xE028)
#define ACIA1_STATUS KY09_REG(0xE028)
#define ACIA1_DATA KY09_REG(0xE029)

/* ACIA status bits */
#define ACIA_RDRF 0x01 /* a received byte waits */
#define ACIA_TDRE 0x02 /* the transmitter takes a byte */
#define ACIA_OVRN 0x20
#define ACIA_IRQ 0x80
#define ACIA_RESET 0x03 /* master reset, written to the control register */

/* MC6821 PIA 1 at 0xE048, PIA 2 at 0xE050 */
#define PIA1_DATA_A KY09_REG(0xE048) /* or DDRA */
#define PIA1_CONTROL_A KY09_REG(0xE049)
#define PIA1_DATA_B KY09_REG(0xE04A) /* or DDRB */
#define PIA1_CONTROL_B KY09_REG(0xE04B)
#define PIA2_DATA_A KY09_REG(0xE050)
#define PIA2_CONTROL_A KY09_REG(0xE051)
#define PIA2_DATA_B KY09_REG(0xE052)
#define PIA2_CONTROL_B KY09_REG(0xE053)
#define PIA_DATA_SELECT 0x04 /* control bit: data register, not DDR */

/* Floppy latch and WD2795 floppy controller */
#define FDC_LATCH KY09_REG(0xE060)
#define FDC_COMMAND KY09_REG(0xE0A0) /* write */
#define FDC_STATUS KY09_REG(0xE0A0)  /* read */
#define FDC_TRACK KY09_REG(0xE0A1)
#define FDC_SECTOR KY09_REG(0xE0A2)
#define FDC_DATA KY09_REG(0xE0A3)

/* MC6840 programmable timer at 0xE0E0 */
#define TIMER_CR13 KY09_REG(0xE0E0) /* CR1 when CR2 bit 0 is set, else CR3 */
#define TIMER_CR2 KY09_REG(0xE0E1)  /* write */
#define TIMER_STATUS KY09_REG(0xE0E1) /* read */
#define TIMER1_MSB KY09_REG(0xE0E2)
#define TIMER1_LSB KY09_REG(0xE0E3)
#define TIMER2_MSB KY09_REG(0xE0E4)
#define TIMER2_LSB KY09_REG(0xE0E5)
#define TIMER3_MSB KY09_REG(0xE0E6)
#define TIMER3_LSB KY09_REG(0xE0E7)

#endif
