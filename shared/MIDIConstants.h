#pragma once
// MIDI 1.0 status bytes, controller numbers and Standard MIDI File meta-event types.
// The values are kept as the rest of the system has always had them, including the
// aliases noted below.
#include <cstdint>

// Status bytes.
constexpr std::uint8_t STATUS_NOTEOFF = 0x80;
constexpr std::uint8_t STATUS_NOTEON = 0x90;
constexpr std::uint8_t STATUS_CONTROLLER = 0xB0;
constexpr std::uint8_t STATUS_PPRESSURE = 0xA0;
constexpr std::uint8_t STATUS_CPRESSURE = 0xD0;
constexpr std::uint8_t STATUS_PROGRAM = 0xC0;
constexpr std::uint8_t STATUS_PITCHBEND = 0xE0;
constexpr std::uint8_t STATUS_SYSEX = 0xF0;
constexpr std::uint8_t STATUS_TIMECODE = 0xF1;
constexpr std::uint8_t STATUS_SONGPOSITION = 0xF2;
constexpr std::uint8_t STATUS_SONGSELECT = 0xF3;
constexpr std::uint8_t STATUS_RESERVED1 = 0xF4;
constexpr std::uint8_t STATUS_RESERVED2 = 0xF5;
constexpr std::uint8_t STATUS_TUNEREQUEST = 0xF6;
constexpr std::uint8_t STATUS_EOX = 0xF7;
constexpr std::uint8_t STATUS_TIMINGCLOCK = 0xF8;
constexpr std::uint8_t STATUS_RESERVED3 = 0xF9;
constexpr std::uint8_t STATUS_START = 0xFA;
constexpr std::uint8_t STATUS_CONTINUE = 0xFB;
constexpr std::uint8_t STATUS_STOP = 0xFC;
constexpr std::uint8_t STATUS_RESERVED4 = 0xFD;
constexpr std::uint8_t STATUS_ACTIVESENSING = 0xFE;
constexpr std::uint8_t STATUS_RESET = 0xFF;
// Meta events are marked with the reserved system byte, not with 0xFF (reset).
constexpr std::uint8_t STATUS_META = STATUS_RESERVED4;

// Controller numbers.
constexpr std::uint8_t CONTROLLER_BANKSELECT_MSB = 0;
constexpr std::uint8_t CONTROLLER_MODWHEEL = 1;
constexpr std::uint8_t CONTROLLER_003 = 3;
constexpr std::uint8_t CONTROLLER_DATA_MSB = 6;
constexpr std::uint8_t CONTROLLER_VOLUME = 7;
constexpr std::uint8_t CONTROLLER_008 = 8;
constexpr std::uint8_t CONTROLLER_009 = 9;
constexpr std::uint8_t CONTROLLER_PAN = 10;
constexpr std::uint8_t CONTROLLER_EXPRESSION = 11;
constexpr std::uint8_t CONTROLLER_016 = 16;
constexpr std::uint8_t CONTROLLER_017 = 17;
constexpr std::uint8_t CONTROLLER_018 = 18;
constexpr std::uint8_t CONTROLLER_019 = 19;
constexpr std::uint8_t CONTROLLER_020 = 20;
constexpr std::uint8_t CONTROLLER_021 = 21;
constexpr std::uint8_t CONTROLLER_022 = 22;
constexpr std::uint8_t CONTROLLER_023 = 23;
constexpr std::uint8_t CONTROLLER_024 = 24;
constexpr std::uint8_t CONTROLLER_025 = 25;
constexpr std::uint8_t CONTROLLER_026 = 26;
constexpr std::uint8_t CONTROLLER_027 = 27;
constexpr std::uint8_t CONTROLLER_028 = 28;
constexpr std::uint8_t CONTROLLER_029 = 29;
constexpr std::uint8_t CONTROLLER_030 = 30;
constexpr std::uint8_t CONTROLLER_031 = 31;
constexpr std::uint8_t CONTROLLER_BANKSELECT_LSB = 32;
constexpr std::uint8_t CONTROLLER_SUSTAIN = 64;
constexpr std::uint8_t CONTROLLER_PORTA = 65;
constexpr std::uint8_t CONTROLLER_HOLD2 = 69;
constexpr std::uint8_t CONTROLLER_RESONANCE = 71;
constexpr std::uint8_t CONTROLLER_RELEASE = 72;
constexpr std::uint8_t CONTROLLER_ATTACK = 73;
constexpr std::uint8_t CONTROLLER_CUTOFF = 74;
constexpr std::uint8_t CONTROLLER_DECAY = 75;
constexpr std::uint8_t CONTROLLER_SUSTAIN2 = 76;
constexpr std::uint8_t CONTROLLER_102 = 102;
constexpr std::uint8_t CONTROLLER_103 = 103;
constexpr std::uint8_t CONTROLLER_104 = 104;
constexpr std::uint8_t CONTROLLER_105 = 105;
constexpr std::uint8_t CONTROLLER_106 = 106;
constexpr std::uint8_t CONTROLLER_107 = 107;
constexpr std::uint8_t CONTROLLER_108 = 108;
constexpr std::uint8_t CONTROLLER_109 = 109;
constexpr std::uint8_t CONTROLLER_110 = 110;
constexpr std::uint8_t CONTROLLER_111 = 111;
constexpr std::uint8_t CONTROLLER_112 = 112;
constexpr std::uint8_t CONTROLLER_RESET_CONTROLLERS = 121;
constexpr std::uint8_t CONTROLLER_NOTES_OFF = 123;
// Shares the value of CONTROLLER_NOTES_OFF (MIDI's "all sound off" would be 120).
constexpr std::uint8_t CONTROLLER_SOUNDS_OFF = 123;

// Meta-event types.
constexpr std::uint8_t META_SEQUENCENUMBER = 0x00;
constexpr std::uint8_t META_TEXT = 0x01;
constexpr std::uint8_t META_COPYRIGHT = 0x02;
constexpr std::uint8_t META_TRACKNAME = 0x03;
constexpr std::uint8_t META_INSTRUMENTNAME = 0x04;
constexpr std::uint8_t META_LYRICS = 0x05;
constexpr std::uint8_t META_MARKER = 0x06;
constexpr std::uint8_t META_CUEPOINT = 0x07;
constexpr std::uint8_t META_PROGRAMNAME = 0x08;
constexpr std::uint8_t META_DEVICENAME = 0x09;
constexpr std::uint8_t META_CHANNELPREFIX = 0x20;
constexpr std::uint8_t META_MIDIPORT = 0x21;
constexpr std::uint8_t META_EOT = 0x2F;
constexpr std::uint8_t META_SETTEMPO = 0x51;
constexpr std::uint8_t META_SMTPOFFSET = 0x54;
constexpr std::uint8_t META_TIMESIGNATURE = 0x58;
constexpr std::uint8_t META_KEYSIGNATURE = 0x59;
constexpr std::uint8_t META_SPECIFIC = 0x7F;
constexpr std::uint8_t META_SYSEX = 0xF0;
// The last four share 0xFF and cannot be told apart by value.
constexpr std::uint8_t META_UNKNOWN = 0xFF;
constexpr std::uint8_t META_EXTENDEDNOTE = 0xFF;
constexpr std::uint8_t META_AUPARAMETER = 0xFF;
constexpr std::uint8_t META_AUPRESET = 0xFF;
