// The model table and the driver names of drive identification, in their
// order: the order decides, since every match overrides the ones before it.
#include "kilnar/recorder/ModelTable.h"

namespace {

constexpr uint8_t kWholeText = ModelEntry::kWholeText;
constexpr uint8_t kWithEnd = ModelEntry::kWithEnd;

// Runs of consecutive entries with the same type number, numbered.
constexpr ModelEntry kModelTable[] = {
    // 1
    {16, "YAMAHA  CDR400", ModelField::Name, kWholeText},
    // 2
    {19, "YAMAHA  CDR200", ModelField::Name, kWholeText},
    // 3
    {27, "YAMAHA  CRW4001", ModelField::Name, kWholeText},
    // 4
    {26, "YAMAHA  CDR401", ModelField::Name, kWholeText},
    // 5
    {29, "YAMAHA  CRW4260", ModelField::Name, kWholeText},
    {29, "YAMAHA  CRW2260", ModelField::Name, kWholeText},
    // 6
    {40, "YAMAHA  CRW4416S", ModelField::Name, kWholeText},
    // 7
    {2, "IMS", ModelField::Name, kWholeText},
    // 8
    {22, "CDD522", ModelField::Product, kWholeText},
    // 9
    {3, "PLASMON", ModelField::Name, kWholeText},
    // 10
    {4, "KODAK", ModelField::Name, kWholeText},
    // 11
    {24, "RICOH   RO-1420", ModelField::Name, kWholeText},
    // 12
    {18, "RICOH   MP620", ModelField::Name, kWholeText},
    {18, "MITSBISH", ModelField::Name, kWholeText},
    {18, "NOMAI", ModelField::Name, kWholeText},
    // 13
    {28, "RICOH   MP6200A", ModelField::Name, kWholeText},
    // 14
    {18, "PHILIPS OMNIWRITER26", ModelField::Name, kWholeText},
    // 15
    {28, "PHILIPS OMNIWRITER26A", ModelField::Name, kWholeText},
    {28, "LITE-ON LTR-511", ModelField::Name, kWholeText},
    // 16
    {46, "RICOH   CD-R/RW MP7040A", ModelField::Name, kWholeText},
    {46, "RICOH   CD-R/RW RW7040A", ModelField::Name, kWholeText},
    // 17
    {30, "PINNACLERCD 4X12", ModelField::Name, kWholeText},
    // 18
    {12, "PINNACLERCD 4X4", ModelField::Name, kWholeText},
    // 19
    {5, "SONY", ModelField::Name, kWholeText},
    // 20
    {15, "SONY    CD-R   CDU926S", ModelField::Name, kWholeText},
    // 21
    {31, "SONY    CD-R   CDU928", ModelField::Name, kWholeText},
    // 22
    {5, "SAF     CD-R2004", ModelField::Name, kWholeText},
    // 23
    {15, "SAF     CD-R2006", ModelField::Name, kWholeText},
    // 24
    {32, "SONY    CD-R   CDU948S", ModelField::Name, kWholeText},
    // 25
    {42, "SONY    CD-RW  CRX100E", ModelField::Name, kWholeText},
    // 26
    {21, "MITSUMI CR-2", ModelField::Name, kWholeText},
    // 27
    {41, "MITSUMI CR-4801TE", ModelField::Name, kWholeText},
    // 28
    {9, "GRUNDIG", ModelField::Name, kWholeText},
    {9, "CDD2000", ModelField::Product, kWholeText},
    {9, "HP", ModelField::Name, kWholeText},
    {9, "HP      CD-Writer 4020", ModelField::Name, kWholeText},
    // 29
    {14, "HP      CD-Writer 6020", ModelField::Name, kWholeText},
    // 30
    {25, "HP      CD-Writer+ 7100", ModelField::Name, kWholeText},
    // 31
    {36, "HP      CD-Writer+ 8100", ModelField::Name, kWholeText},
    // 32
    {25, "HP      VersaWriter 3100", ModelField::Name, kWholeText},
    {25, "Traxdata CDRW2260+", ModelField::Name, kWholeText},
    // 33
    {35, "HP      CD-Writer+ 7200", ModelField::Name, kWholeText},
    {35, "CyberDrvCDRW602", ModelField::Name, kWholeText},
    // 34
    {2, "T.YUDEN CD-WO EW-50", ModelField::Name, kWholeText},
    // 35
    {35, "3610", ModelField::Product, kWholeText},
    {35, "CDD3610", ModelField::Product, kWholeText},
    // 36
    {37, "CDD3600", ModelField::Product, kWholeText},
    // 37
    {14, "CDD2600", ModelField::Product, kWholeText},
    {14, "CDD2600", ModelField::Product, kWholeText},
    // 38
    {35, "OTI-975 SOCRATES", ModelField::Name, kWholeText},
    {35, "BTC     BCE 62IE", ModelField::Name, kWholeText},
    // 39
    {11, "JVC     XR-W201", ModelField::Name, kWholeText},
    // 40
    {34, "JVC     XR-W2042", ModelField::Name, kWholeText},
    // 41
    {44, "JVC     XR-W2082", ModelField::Name, kWholeText},
    // 42
    {17, "JVC     R2626", ModelField::Name, kWholeText},
    // 43
    {12, "TEAC    CD-R50S", ModelField::Name, kWholeText},
    // 44
    {30, "TEAC    CD-R55S", ModelField::Name, kWholeText},
    // 45
    {39, "TEAC    CD-R56S", ModelField::Name, kWholeText},
    // 46
    {30, "TraxdataCDR4120", ModelField::Name, kWholeText},
    // 47
    {35, "SCSI-CD ReWritable-2x2x6", ModelField::Name, kWholeText},
    {35, "IDE     ReWritable-2x2x6", ModelField::Name, kWholeText},
    {35, "IDE-CD  ReWritable-2x2x6", ModelField::Name, kWholeText},
    // 48
    {13, "MATSHITACD-R CW-7501", ModelField::Name, kWholeText},
    {13, "MATSHITACD-R   CW-7501", ModelField::Name, kWholeText},
    // 49
    {33, "MATSHITACD-R   CW-7502", ModelField::Name, kWholeText},
    // 50
    {45, "MATSHITACD-R   CW-7582", ModelField::Name, kWholeText},
    // 51
    {23, "DELTA", ModelField::Name, kWholeText},
    // 52
    {38, "PLEXTOR CD-R   PX-R412C", ModelField::Name, kWholeText},
    // 53
    {43, "GENERIC CD-R CRD-R800S", ModelField::Name, kWholeText},
    // 54
    {29, "Memorex CDRW-2216", ModelField::Name, kWholeText},
    // 55
    {40, "Memorex CDRW-4416", ModelField::Name, kWholeText},
    // 56
    {25, "Memorex CRW-1622", ModelField::Name, kWholeText},
    // 57
    {37, "Dysan   CR-622      E1", ModelField::Name, kWholeText},
    // 58
    {15, "SAF     CD-R2006PLUS", ModelField::Name, kWholeText},
    // 59
    {30, "SAF     CD-R4012", ModelField::Name, kWholeText},
    // 60
    {28, "ATAPI   CD-R/RW CRW6206A", ModelField::Name, kWholeText},
    // 61
    {25, "DELTA   CDE6121", ModelField::Name, kWholeText},
    {25, "BACKPACKCD-REWRITER-4A", ModelField::Name, kWholeText},
    // 62
    {34, "JVC     XR-W2040", ModelField::Name, kWholeText},
    // 63
    {44, "JVC     XR-W2080", ModelField::Name, kWholeText},
    // 64
    {15, "SONY    CD-R   CDU920S", ModelField::Name, kWholeText},
    {15, "SONY    CD-R   CDU920E", ModelField::Name, kWholeText},
    // 65
    {29, "YAMAHA  CRW4001", ModelField::Name, kWholeText},
    {29, "YAMAHA  CRW4001c", ModelField::Name, kWholeText},
    {29, "YAMAHA  CRW4001t", ModelField::Name, kWholeText},
    // 66
    {27, "YAMAHA  CRW4416E", ModelField::Name, kWholeText},
    {27, "YAMAHA  CRW2216E", ModelField::Name, kWholeText},
    // 67
    {40, "YAMAHA  CRW2216S", ModelField::Name, kWholeText},
    // 68
    {28, "        CRW622", ModelField::Name, kWholeText},
    {28, "MITSBISHCDRW226", ModelField::Name, kWholeText},
    // 69
    {46, "        4X IDE CD-RW", ModelField::Name, 19},
    {46, "        ARW4420", ModelField::Name, kWholeText},
    {46, "DYSAN   CDRW-4416", ModelField::Name, kWholeText},
    // 70
    {52, "   LG   CD-RW CED-8042B", ModelField::Name, kWholeText},
    // 71
    {46, "   LG   CD-RW CED-8060B", ModelField::Name, kWholeText},
    {46, "   LG   CD-RW CED-8080B", ModelField::Name, kWholeText},
    {46, "MATSHITACDRRW01", ModelField::Name, kWholeText},
    {46, "MATSHITAKME CD-R/RW01", ModelField::Name, kWholeText},
    {46, "MEMOREX CDRW-4416", ModelField::Name, kWholeText},
    {46, "MEMOREX CDRW-4416S", ModelField::Name, kWholeText},
    {46, "Memorex CDRW-4420", ModelField::Name, kWholeText},
    {46, "MITSBISHCDRW4420a", ModelField::Name, kWholeText},
    {46, "       OME-W141", ModelField::Name, kWithEnd},
    {46, "RICOH   CD-R/RW MP7040S", ModelField::Name, kWholeText},
    {46, "RICOH   CD-R/RW MP7420A", ModelField::Name, kWholeText},
    {46, "RICOH   CD-R/RW MP8040A", ModelField::Name, kWholeText},
    {46, "RICOH   CD-R/RW RW8040A", ModelField::Name, kWholeText},
    {46, "RICOH   CD-R/RW MP8040S", ModelField::Name, kWholeText},
    {46, "RICOH   CD-R/RW RW8040S", ModelField::Name, kWholeText},
    {46, "RICOH   MP8040S", ModelField::Name, kWholeText},
    {46, "RICOH   RW8040S", ModelField::Name, kWholeText},
    {46, "RICOH   MP8040A", ModelField::Name, kWholeText},
    {46, "RICOH   RW8040A", ModelField::Name, kWholeText},
    {46, "SANYO   CRD-RW2", ModelField::Name, kWholeText},
    {46, "SAF     CD-RW4416", ModelField::Name, kWholeText},
    {46, "WPI     CDRW-1688", ModelField::Name, kWholeText},
    {46, "YAMAHA  CRW4216E", ModelField::Name, kWholeText},
    {46, "YAMAHA  CRW4216S", ModelField::Name, kWholeText},
    {46, "YAMAHA  CRW6416S", ModelField::Name, kWholeText},
    // 72
    {24, "ACER    CR-1420C", ModelField::Name, kWholeText},
    {24, "PLEXTOR CD-R   PX-R24CS", ModelField::Name, kWholeText},
    // 73
    {28, "ACER    CRW620", ModelField::Name, kWholeText},
    {28, "        CRW620", ModelField::Name, kWholeText},
    {28, "ACER    CRW622", ModelField::Name, kWholeText},
    {28, "LITE-ON LTR-512", ModelField::Name, kWholeText},
    {28, "NOMAI   680RW", ModelField::Name, kWholeText},
    {28, "PINNACLEMP6200S", ModelField::Name, kWholeText},
    {28, "PINNACLERCDW226", ModelField::Name, kWholeText},
    {28, "RICOH   CRW620", ModelField::Name, kWholeText},
    {28, "RICOH   MP6211S", ModelField::Name, kWholeText},
    // 74
    {25, "ATAPI   CD-R/RW 2X2X6", ModelField::Name, kWholeText},
    {25, "ATAPI   CD-R/RW 2X2X30", ModelField::Name, kWholeText},
    {25, "ATAPI   CD-R/RW 2X2X32", ModelField::Name, kWholeText},
    {25, "ATAPI   CD-R/RW CRW6224A", ModelField::Name, kWholeText},
    {25, "ATAPI   CD-R/RW CRW 6230A", ModelField::Name, kWholeText},
    {25, "ATAPI   CD-R/RW CRW 6232A", ModelField::Name, kWholeText},
    {25, "ATAPI   2W24R", ModelField::Name, kWholeText},
    {25, "ARTEC   ACW-260", ModelField::Name, kWholeText},
    {25, "BTC     BCE242IE", ModelField::Name, kWholeText},
    {25, "CDWriter2W24R", ModelField::Name, kWholeText},
    {25, "DELTA   ODE-6121*", ModelField::Name, 16},
    {25, "DELTA   ODE-8141*", ModelField::Name, 16},
    {25, "DELTA   ODR-6121*", ModelField::Name, 16},
    {25, "DYSAN   CR-622", ModelField::Name, kWholeText},
    {25, "DYSAN   CDRW-2224", ModelField::Name, kWholeText},
    {25, "GENERIC CD-R/RW 2X2X6", ModelField::Name, kWholeText},
    {25, "HP      CD-Writer 6020RW", ModelField::Name, kWholeText},
    {25, "HP      DEVELOPMENT - 97", ModelField::Name, kWholeText},
    {25, "IDE-CD  ReWritable-2x2x24", ModelField::Name, kWholeText},
    {25, "JCI     JCD-62RW", ModelField::Name, kWholeText},
    {25, "JCI     CDRW-622", ModelField::Name, kWholeText},
    {25, "JCCOM   JCD-62RW", ModelField::Name, kWholeText},
    {25, "JVC     XR-R2060", ModelField::Name, kWholeText},
    {25, "LEOPTICSCDD-3620", ModelField::Name, kWholeText},
    {25, "LICUS   MSJ-6122", ModelField::Name, kWholeText},
    {25, "MEMOREX CR-622*", ModelField::Name, kWholeText},
    {25, "MEMOREX CRW-1622*", ModelField::Name, kWholeText},
    {25, "MEMOREX CDRW-2224", ModelField::Name, kWholeText},
    {25, "MMAGIC  MCR-265", ModelField::Name, kWholeText},
    {25, "OCTEK   RW260*", ModelField::Name, kWholeText},
    {25, "PHILIPS CDD3610*", ModelField::Name, kWholeText},
    {25, "PHILIPS CDD3801*", ModelField::Name, kWholeText},
    {25, "PHILIPS PCA267CR*", ModelField::Name, kWholeText},
    {25, "PHILIPS PCA382RW", ModelField::Name, kWholeText},
    {25, "SAMSUNG CD-R/RW SW-204B", ModelField::Name, kWholeText},
    {25, "SAMSUNG CD-R/RW SW-204F", ModelField::Name, kWholeText},
    {25, "SAMSUNG CD-R/RW SCW-230", ModelField::Name, kWholeText},
    {25, "SAMSUNG CD-R/RW SCW-430", ModelField::Name, kWholeText},
    {25, "USDrivesCDRW602*", ModelField::Name, kWholeText},
    {25, "USDrivesCDRW62D", ModelField::Name, kWholeText},
    {25, "VORTEC  CDR-R/W VCW-620", ModelField::Name, kWholeText},
    {25, "WAITEC  WT2036EI", ModelField::Name, kWholeText},
    {25, "WAITEC  WT2422EI", ModelField::Name, kWholeText},
    {25, "WPI     CDR-622*", ModelField::Name, kWholeText},
    {25, "WPI     CDRW-2422", ModelField::Name, kWholeText},
    // 75
    {47, "PHILIPS PCA460RW", ModelField::Name, kWholeText},
    // 76
    {37, "ARTMEDIARW6220BI", ModelField::Name, kWholeText},
    {37, "BTC     RW6220BI", ModelField::Name, kWholeText},
    {37, "BTC     RW6220BT", ModelField::Name, kWholeText},
    {37, "PHILIPS CDD3600*", ModelField::Name, kWholeText},
    {37, "WAITEC  WT2036", ModelField::Name, kWholeText},
    // 77
    {30, "CAL     CDR4X12", ModelField::Name, kWholeText},
    {30, "MITSBISHCDR4X12", ModelField::Name, kWholeText},
    {30, "PINNACLERCD4X12", ModelField::Name, kWholeText},
    {30, "WAITEC  WT412", ModelField::Name, kWholeText},
    // 78
    {43, "CARAVELLCD-R CDR-N820S", ModelField::Name, kWholeText},
    {43, "QPS     QPS-R8220S", ModelField::Name, kWholeText},
    {43, "SANYO   CD-R CRD-R800S", ModelField::Name, kWholeText},
    {43, "SAF     CD-R8020", ModelField::Name, kWholeText},
    // 79
    {44, "CARAVELLCRW-8220S", ModelField::Name, kWholeText},
    {44, "CREATIVECD-RW RW2024E", ModelField::Name, kWholeText},
    {44, "CREATIVECD-RW RW4224E", ModelField::Name, kWholeText},
    {44, "DYSAN   CDRW-2216", ModelField::Name, kWholeText},
    {44, "GENERIC CRD-RW1", ModelField::Name, kWholeText},
    {44, "GENERIC CRD-RW1N", ModelField::Name, kWholeText},
    {44, "HI-VAL  H2242", ModelField::Name, kWholeText},
    {44, "HI-VAL  H4242", ModelField::Name, kWholeText},
    {44, "HI-VAL  H4242S", ModelField::Name, kWholeText},
    {44, "JCCOM   JCD-1622RW", ModelField::Name, kWholeText},
    {44, "JVC     XR-W2080S", ModelField::Name, kWholeText},
    {44, "JVC     XR-W2082S", ModelField::Name, kWholeText},
    {44, "JVC     XR-W2083S", ModelField::Name, kWholeText},
    {44, "JVC     XR-W4080", ModelField::Name, kWholeText},
    {44, "JVC     XR-W4080S", ModelField::Name, kWholeText},
    {44, "JVC     XR-W4082", ModelField::Name, kWholeText},
    {44, "JVC     XR-W4082S", ModelField::Name, kWholeText},
    {44, "JVC     XR-W4083S", ModelField::Name, kWholeText},
    {44, "LACIE   CDRW-BOOSTER", ModelField::Name, kWholeText},
    // 80
    {52, "   LG   CD-RW CED-8041B", ModelField::Name, kWholeText},
    // 81
    {44, "Memorex CD-RW2224", ModelField::Name, kWholeText},
    {44, "Memorex CD-RW4224", ModelField::Name, 16},
    {44, "PHILIPS 228 CDRW", ModelField::Name, kWholeText},
    {44, "PHILIPS 428 CDRW", ModelField::Name, kWholeText},
    {44, "PLEXTOR CD-R   PX-W4220T", ModelField::Name, kWholeText},
    {44, "RWD     RW2224", ModelField::Name, kWholeText},
    {44, "RWD     RW2224S", ModelField::Name, kWholeText},
    {44, "RWD     RW4224", ModelField::Name, kWholeText},
    {44, "RWD     RW4224S", ModelField::Name, kWholeText},
    {44, "SANYO   CRD-RW1", ModelField::Name, kWholeText},
    {44, "SANYO   CRD-RW1A", ModelField::Name, kWholeText},
    {44, "SANYO   CRD-RW1B", ModelField::Name, kWholeText},
    {44, "SANYO   CRD-RW1I", ModelField::Name, kWholeText},
    {44, "SANYO   CRD-RW1N", ModelField::Name, kWholeText},
    {44, "SANYO   CRD-RW1U", ModelField::Name, kWholeText},
    {44, "SANYO   CRX-R1394", ModelField::Name, kWholeText},
    {44, "SAF     CD-RW2224", ModelField::Name, kWholeText},
    {44, "SAF     CD-RW8220", ModelField::Name, kWholeText},
    {44, "WPI     CDRW-1622", ModelField::Name, kWholeText},
    {44, "WPI     CDRW-1622e", ModelField::Name, kWholeText},
    // 82
    {13, "CREATIVECDR4210", ModelField::Name, kWholeText},
    {13, "MATSHITACD-R   LK-MW602", ModelField::Name, kWholeText},
    {13, "CREATIVECDR4800E", ModelField::Name, kWholeText},
    {13, "MATSHITACD-R   CW-7503", ModelField::Name, kWholeText},
    // 83
    {29, "DYSAN   CDRW-4216", ModelField::Name, kWholeText},
    {29, "DYSAN   CRW-1426", ModelField::Name, kWholeText},
    {29, "JCCOM   JCD-64RW", ModelField::Name, kWholeText},
    {29, "JCCOM   JCD-1642RW", ModelField::Name, kWholeText},
    {29, "MEMOREX CRW-2642", ModelField::Name, kWholeText},
    {29, "MEMOREX CDRW-4216", ModelField::Name, kWholeText},
    {29, "WAITEC  WT4046", ModelField::Name, kWholeText},
    {29, "WPI     CDRW-642", ModelField::Name, kWholeText},
    {29, "WPI     CDRW-642e", ModelField::Name, kWholeText},
    {29, "WPI     CDRW-1642", ModelField::Name, kWholeText},
    {29, "WPI     CDRW-1642e", ModelField::Name, kWholeText},
    // 84
    {50, "HP      CD-R    8x/20x", ModelField::Name, kWholeText},
    // 85
    {38, "IMATION CD-R IMR080020", ModelField::Name, kWholeText},
    {38, "MITSBISHCDR4X12T", ModelField::Name, kWholeText},
    {38, "PLAYWRITE8200", ModelField::Name, kWholeText},
    // 86
    {50, "PLEXTOR CD-R   PX-R820T", ModelField::Name, kWholeText},
    // 87
    {9, "GRUNDIG CDR100IPW", ModelField::Name, kWholeText},
    {9, "KODAK   CDR-240", ModelField::Name, kWholeText},
    {9, "MITSUMI CD-R CR-2401TS", ModelField::Name, kWholeText},
    {9, "WPI     CDR-432", ModelField::Name, kWholeText},
    // 88
    {14, "MITSBISHCDVR", ModelField::Name, kWholeText},
    // 89
    {39, "NEC     ODX658", ModelField::Name, kWholeText},
    {39, "NEC     PD-1 ODX658", ModelField::Name, kWholeText},
    {39, "NEC     PD-1 ODX659", ModelField::Name, kWholeText},
    {39, "IMS     CDD4000", ModelField::Name, kWholeText},
    {39, "SAF     CD-R6024", ModelField::Name, kWholeText},
    {39, "SAF     CD-RW4224A", ModelField::Name, kWholeText},
    {39, "SAF     CD-RW4224S", ModelField::Name, kWholeText},
    {39, "TEAC    CD-P520E*", ModelField::Name, kWholeText},
    {39, "TEAC    CD-R56S4", ModelField::Name, kWholeText},
    {39, "TEAC    CD-R56S8", ModelField::Name, kWholeText},
    {39, "TEAC    CD-R58S", ModelField::Name, kWholeText},
    {39, "TEAC    PD-1 CD-P520E", ModelField::Name, kWholeText},
    {39, "TEAC    PD-1 CD-P540S", ModelField::Name, kWholeText},
    {39, "TEAC    CD-P520E", ModelField::Name, kWholeText},
    {39, "TEAC    CDR6240", ModelField::Name, kWholeText},
    {39, "WAITEC  WT624", ModelField::Name, kWholeText},
    // 90
    {5, "OLYMPUS CDS615E", ModelField::Name, kWholeText},
    {5, "OPTIMA  CD-R 650", ModelField::Name, kWholeText},
    {5, "HIGHTECHCD-R1002", ModelField::Name, kWholeText},
    // 91
    {15, "OLYMPUS CDS630E", ModelField::Name, kWholeText},
    {15, "OPTIMA  CD-R 1300", ModelField::Name, kWholeText},
    {15, "SAF     CD-R2006", ModelField::Name, kWholeText},
    // 92
    {12, "MITSBISHCDVR4X4", ModelField::Name, kWholeText},
    // 93
    {16, "DYNATEK CDM4000-1", ModelField::Name, kWholeText},
    {16, "MITSBISHCDVR4X6", ModelField::Name, kWholeText},
    {16, "SAF     CD-R4006", ModelField::Name, kWholeText},
    // 94
    {31, "NEC,DVD-ROM DVR1700A", ModelField::Name, kWithEnd},
    // 95
    {11, "JVC     XR-W2010", ModelField::Name, kWholeText},
    {11, "PINNACLERCD-1000", ModelField::Name, kWholeText},
    // 96
    {9, "HP      C4324/C4325", ModelField::Name, kWholeText},
    {9, "PLASMON CDR4220", ModelField::Name, kWholeText},
    // 97
    {25, "ATAPI   CD-R/RW 2X2X24", ModelField::Name, kWholeText},
    {25, "ATAPI   CD-R/RW 4X2X32", ModelField::Name, kWholeText},
    {25, "ATAPI   CD-R/RW 4X4X32", ModelField::Name, kWholeText},
    {25, "ATAPI   CD-R/RW 8X4X32", ModelField::Name, kWholeText},
    {25, "HP      CD-Writer+ 7500", ModelField::Name, kWholeText},
    {25, "HP      CD-Writer+ 7510", ModelField::Name, kWholeText},
    {25, "HP      CD-Writer+ 7520", ModelField::Name, kWholeText},
    {25, "HP      CD-Writer+ 7570", ModelField::Name, kWholeText},
    {25, "hp      CD-Writer+ M820", ModelField::Name, kWholeText},
    {25, "BACKPACKCD-REWRITER-2A", ModelField::Name, kWholeText},
    {25, "BACKPACKCD-REWRITER-4B", ModelField::Name, kWholeText},
    {25, "BACKPACKCD-REWRITER-4E", ModelField::Name, kWholeText},
    // 98
    {54, "IDE-CD  R/RW 4x4x24", ModelField::Name, kWholeText},
    // 99
    {25, "DELTA   ODR6121", ModelField::Name, kWholeText},
    {25, "Dysan   CRW-1622", ModelField::Name, kWholeText},
    {25, "IOMEGA  ZIPCD 4x650", ModelField::Name, kWholeText},
    {25, "Memorex CR-622      E1", ModelField::Name, kWholeText},
    {25, "OTI-975 SOCRATES    1.0", ModelField::Name, kWholeText},
    // 100
    {53, "PHILIPS PCRW404", ModelField::Name, kWholeText},
    // 101
    {25, "SAMSUNG CD-R/RW SW-206", ModelField::Name, 12},
    // 102
    {36, "HP      CD-Writer+ 8110", ModelField::Name, kWholeText},
    {36, "HP      CD-Writer+ 8200", ModelField::Name, kWholeText},
    {36, "HP      CD-Writer+ 8210", ModelField::Name, kWholeText},
    {36, "HP      CD-Writer+ 8250", ModelField::Name, kWholeText},
    // 103
    {46, "RICOH   CD-R/RW MP7060A", ModelField::Name, kWholeText},
    {46, "RICOH   CD-R/RW MP7060S", ModelField::Name, kWholeText},
    {46, "RICOH   CD-R/RW RW7060A", ModelField::Name, kWholeText},
    {46, "RICOH   CD-R/RW RW7060S", ModelField::Name, kWholeText},
    {46, "        CD-R/RW MP7040A", ModelField::Name, kWholeText},
    {46, "        CD-R/RW MP7040S", ModelField::Name, kWholeText},
    {46, "        CD-R/RW MP7060A", ModelField::Name, kWholeText},
    {46, "        CD-R/RW MP7060S", ModelField::Name, kWholeText},
    {46, "        CD-R/RW RW7040A", ModelField::Name, kWholeText},
    {46, "        CD-R/RW RW7040S", ModelField::Name, kWholeText},
    {46, "        CD-R/RW RW7060A", ModelField::Name, kWholeText},
    {46, "        CD-R/RW RW7060S", ModelField::Name, kWholeText},
    {46, "IMATION CD-RW IMW040420", ModelField::Name, kWholeText},
    {46, "SAF     CD-RW6424A", ModelField::Name, kWholeText},
    {46, "        CRW9420", ModelField::Name, kWholeText},
    // 104
    {29, "TraxdataCDRW2260 PRO", ModelField::Name, kWholeText},
    {29, "TraxdataCDRW4260 PRO", ModelField::Name, kWholeText},
    // 105
    {34, "PINNACLERCD5020", ModelField::Name, kWholeText},
    {34, "PINNACLERCD5040", ModelField::Name, kWholeText},
    {34, "SAF     CD-RW226", ModelField::Name, kWholeText},
    // 106
    {52, "LG      CD-RW CED-8041B", ModelField::Name, kWholeText},
    {52, "LG      CD-RW CED-8042B", ModelField::Name, kWholeText},
    // 107
    {44, "CREATIVECD-RW RW6424E", ModelField::Name, kWholeText},
    // 108
    {50, "HP      CD-R    8x/20x", ModelField::Name, kWholeText},
    {50, "PLEXTOR CD-R   PX-W8220T", ModelField::Name, kWholeText},
    // 109
    {55, "MITSUMI CR-4802TE", ModelField::Name, kWholeText},
    // 110
    {51, "MITSUMI CR-4804TE", ModelField::Name, kWholeText},
    // 111
    {42, "SONY    CD-RW  CRX120E", ModelField::Name, kWholeText},
    // 112
    {43, "QPS     QPS-R8220S", ModelField::Name, kWholeText},
    // 113
    {49, "HP      CD-Writer+ 9100", ModelField::Name, kWholeText},
    {49, "HP      CD-Writer+ 9110", ModelField::Name, kWholeText},
    // 114
    {48, "HP      CD-Writer+ 9200", ModelField::Name, kWholeText},
    {48, "HP      CD-Writer+ 9210", ModelField::Name, kWholeText},
    {48, "SONY    CD-RW  CRX140S", ModelField::Name, kWholeText},
    // 115
    {49, "SONY    CD-RW  CRX140E", ModelField::Name, kWholeText},
    // 116
    {35, "PHILIPS 3610", ModelField::Name, kWholeText},
    // 117
    {37, "PHILIPS CDD3600 CD-R/RW", ModelField::Name, kWholeText},
    // 118
    {35, "PHILIPS CDD3610", ModelField::Name, kWholeText},
    // 119
    {9, "PHILIPS CDD2000/00", ModelField::Name, kWholeText},
    {9, "IMS     CDD2000/00", ModelField::Name, kWholeText},
    {9, "IMS     CDD2000*", ModelField::Name, kWholeText},
    // 120
    {2, "IMS     CDD521/10", ModelField::Name, kWholeText},
    // 121
    {22, "IMS     CDD522/10", ModelField::Name, kWholeText},
    // 122
    {14, "IMS     CDD2600*", ModelField::Name, kWholeText},
    {14, "PHILIPS CDD2600*", ModelField::Name, kWholeText},
    {14, "MITSBISHCDVR2X6", ModelField::Name, kWholeText},
    // 123
    {31, "SONY    CD-R   CDU924E", ModelField::Name, kWholeText},
    // 124
    {15, "SONY    CD-R   CDU924S", ModelField::Name, kWholeText},
    // 125
    {31, "SONY    CD-R   CDU928E", ModelField::Name, kWholeText},
    // 126
    {18, "RICOH   MP6200S", ModelField::Name, kWholeText},
    // 127
    {28, "RICOH   MP6201A", ModelField::Name, kWholeText},
    // 128
    {18, "RICOH   MP6201S", ModelField::Name, kWholeText},
    // 129
    {24, "RICOH   RO-1420C", ModelField::Name, kWholeText},
    // 130
    {25, "HP      VersaWriter 310", ModelField::Name, kWholeText},
    // 131
    {36, "HP      CD-Writer+ 8000", ModelField::Name, kWholeText},
    // 132
    {1, "YAMAHA  CDR100", ModelField::Name, kWholeText},
    {1, "YAMAHA  CDR102", ModelField::Name, kWholeText},
    // 133
    {19, "YAMAHA  CDR200t", ModelField::Name, kWholeText},
    // 134
    {27, "YAMAHA  CDR4001c", ModelField::Name, kWholeText},
    // 135
    {29, "YAMAHA  CRW4261", ModelField::Name, kWholeText},
    {29, "YAMAHA  CRW4261*", ModelField::Name, kWholeText},
    // 136
    {27, "YAMAHA  CDR4001", ModelField::Name, kWholeText},
    // 137
    {16, "YAMAHA  CDR400t", ModelField::Name, kWholeText},
    {16, "YAMAHA  CDR401c", ModelField::Name, kWholeText},
    {16, "YAMAHA  CDR401t", ModelField::Name, kWholeText},
    {16, "YAMAHA  CDR4001t", ModelField::Name, kWholeText},
    {16, "YAMAHA  CDR400c", ModelField::Name, kWholeText},
    // 138
    {12, "TEAC    CD-R50S-000", ModelField::Name, kWholeText},
    // 139
    {11, "JVC     XR-W2001", ModelField::Name, kWholeText},
    {11, "CARAVELLCDR-2X  TYPE II", ModelField::Name, kWholeText},
    // 140
    {30, "TEAC    CD-R55S*", ModelField::Name, kWholeText},
    // 141
    {25, "IODATA  SOCRATES", ModelField::Name, kWholeText},
    {25, "WPI     CDRW-622", ModelField::Name, kWholeText},
    {25, "PHILIPS CDD3814", ModelField::Name, kWholeText},
    {25, "PHILIPS CDD3801 CD-R/RW", ModelField::Name, kWholeText},
    {25, "PHILIPS PCA382RW IDE", ModelField::Name, kWholeText},
    // 142
    {54, "IDE-CD  R/RW 4x2x24", ModelField::Name, kWholeText},
    // 143
    {25, "ATAPI   CD-R/RW 4X2X30", ModelField::Name, kWholeText},
    {25, "ATAPI   CD-R/RW 4X2X24", ModelField::Name, kWholeText},
    {25, "ATAPI   CD-R/RW 2X2X6*", ModelField::Name, kWholeText},
    {25, "MITSBISHCDRW226I*", ModelField::Name, kWholeText},
    {25, "ATAPI   CD-R/RW CRW4232A", ModelField::Name, kWholeText},
    {25, "ATAPI   CD-R/RW 4X2X6", ModelField::Name, kWholeText},
    {25, "BTC     BCE 62IE*", ModelField::Name, kWholeText},
    {25, "OTI-975 SOCRATES*", ModelField::Name, kWholeText},
    {25, "CDWriterIDE2X2X24", ModelField::Name, kWholeText},
    {25, "TraxdataCDRW2224 Plus", ModelField::Name, kWholeText},
    {25, "CyberDrvCDRW602*", ModelField::Name, kWholeText},
    // 144
    {28, "MITSBISHCDRW226*", ModelField::Name, kWholeText},
    {28, "PHILIPS OMNIWRITER26*", ModelField::Name, kWholeText},
    // 145
    {38, "MTI     PLAYWRITE 8200", ModelField::Name, kWholeText},
    {38, "PLEXTOR CD-R   PX-R412?", ModelField::Name, kWholeText},
    // 146
    {47, "LG      CD-RW CED-8081B", ModelField::Name, kWholeText},
    {47, "        6X4X24 SLIM CDRW", ModelField::Name, kWholeText},
    {47, "        4X4X20 SLIM CDRW", ModelField::Name, kWholeText},
    // 147
    {52, "LG      CD-RW CED-8043B", ModelField::Name, kWholeText},
    {52, "LG      CD-RW CED-8045B", ModelField::Name, kWholeText},
    // 148
    {47, "LG      CD-RW CED-8080B", ModelField::Name, kWholeText},
    {47, "        8X4X32 IDE CD-RW", ModelField::Name, kWholeText},
    {47, "LG      CD-RW CED-8082B", ModelField::Name, kWholeText},
    {47, "LG      CD-RW CED-8083B", ModelField::Name, kWholeText},
    {47, "LG      CD-RW CED-8084B", ModelField::Name, kWholeText},
    {47, "LG      CD-RW CED-8060B", ModelField::Name, kWholeText},
    {47, "        6X4X24 IDE CD-RW", ModelField::Name, kWholeText},
    {47, "        DRW4624", ModelField::Name, kWholeText},
    {47, "        DVD/CDRW RW9060", ModelField::Name, kWholeText},
    {47, "SANYO   CRD-RW900P", ModelField::Name, kWholeText},
    {47, "BACKPACKCD-REWRITER-4F", ModelField::Name, kWholeText},
    {47, "SANYO   CRD-RWF", ModelField::Name, kWholeText},
    {47, "JVC     XR-W4424", ModelField::Name, kWholeText},
    {47, "JVC     XR-W4424S", ModelField::Name, kWholeText},
    {47, "        DVD/RW 4X6X4X24", ModelField::Name, kWholeText},
    {47, "BACKPACKCD-REWRITER-4G", ModelField::Name, kWholeText},
    {47, "        6X4X24 SCSI CDRW", ModelField::Name, kWholeText},
    {47, "JVC     XR-W4424SB", ModelField::Name, kWholeText},
    {47, "SANYO   CRD-RW8X", ModelField::Name, kWholeText},
    {47, "RWD     XR-RW4424S", ModelField::Name, kWholeText},
    {47, "LACIE   CDRW-12432S", ModelField::Name, kWholeText},
    {47, "TEAC    CD-W54E", ModelField::Name, kWholeText},
    {47, "JVC     XR-W4424B", ModelField::Name, kWholeText},
    {47, "        CRS9624", ModelField::Name, kWholeText},
    {47, "GoldstarCD-RW CED-8123B", ModelField::Name, kWholeText},
    {47, "GoldstarCD-RW CED-8124B", ModelField::Name, kWholeText},
    {47, "GoldstarCD-RW CED-8125B", ModelField::Name, kWholeText},
    {47, "        CD-R/RW RW8040A", ModelField::Name, kWholeText},
    {47, "SAF     CD-RW4424A", ModelField::Name, kWholeText},
    {47, "        CRS9420", ModelField::Name, kWholeText},
    {47, "GoldstarCD-RW CED-8122B", ModelField::Name, kWholeText},
    {47, "        CRW8432", ModelField::Name, kWholeText},
    {47, "        CRW9420S", ModelField::Name, kWholeText},
    {47, "TOSHIBA*IPC5025A", ModelField::Name, kWholeText},
    {47, "        CRW9624S", ModelField::Name, kWholeText},
    {47, "SANYO   CRD-BP2", ModelField::Name, kWholeText},
    {47, "SANYO   CRD-BP900P", ModelField::Name, kWholeText},
    {47, "TORiSAN CD-RW CDW-U4424", ModelField::Name, kWholeText},
    {47, "        CD-R/RW RW8040S", ModelField::Name, kWholeText},
    {47, "maxell  MCD-RW64-24", ModelField::Name, kWholeText},
    {47, "SAF     CD-RW12432", ModelField::Name, kWholeText},
    {47, "IOMEGA  ZIP CD 650 8XI", ModelField::Name, kWholeText},
    {47, "IOMEGA  ZIP CD 650 6XC", ModelField::Name, kWholeText},
    {47, "GoldstarCD-RW CED-8081B", ModelField::Name, kWholeText},
    {47, "SAF     CD-RW4420P", ModelField::Name, kWholeText},
    {47, "SAF     CD-RW4424S", ModelField::Name, kWholeText},
    {47, "SAMSUNG CD-R/RW SW-206F", ModelField::Name, kWholeText},
    {47, "GoldstarCD-RW CED-8082B", ModelField::Name, kWholeText},
    {47, "GoldstarCD-RW CED-8083B", ModelField::Name, kWholeText},
    {47, "GoldstarCD-RW CED-8084B", ModelField::Name, kWholeText},
    {47, "GoldstarCD-RW CED-8085B", ModelField::Name, kWholeText},
    {47, "GoldstarCD-RW CED-8120B", ModelField::Name, kWholeText},
    {47, "GoldstarCD-RW CED-8121B", ModelField::Name, kWholeText},
    {47, "        ARW4420S", ModelField::Name, kWholeText},
    {47, "LG      CD-RW CED-8085B", ModelField::Name, kWholeText},
    {47, "WAITEC  WT3284", ModelField::Name, kWholeText},
    {47, "GoldstarCD-RW CED-8080B", ModelField::Name, kWholeText},
    {47, "DELTA   OIP-RW2004/B", ModelField::Name, kWholeText},
    {47, "Actima  ARW4420S", ModelField::Name, kWholeText},
    {47, "MEMTEK  CDRW4420", ModelField::Name, kWholeText},
    // 149
    {52, "GoldstarCD-RW CED-8045B", ModelField::Name, kWholeText},
    // 150
    {47, "WAITEC  WT2082", ModelField::Name, kWholeText},
    {47, "WAITEC  CD-R/RW 3284", ModelField::Name, kWholeText},
    {47, "LG      CD-RW CED-8120B", ModelField::Name, kWholeText},
    {47, "PLEXTOR CD-R   PX-W124TS", ModelField::Name, kWholeText},
    {47, "GENERIC CRD-BP900P", ModelField::Name, kWholeText},
    {47, "        RW7080A", ModelField::Name, kWholeText},
    {47, "GENERIC CRD-RW2", ModelField::Name, kWholeText},
    {47, "PLEXTOR CD-R   PX-W8432T", ModelField::Name, kWholeText},
    {47, "GENERIC CRD-BP2", ModelField::Name, kWholeText},
    {47, "QPS     CD-R   PX-W8432T", ModelField::Name, kWholeText},
    {47, "GENERIC CRD-RW8X", ModelField::Name, kWholeText},
    {47, "GoldstarCD-RW CED-8060B", ModelField::Name, kWholeText},
    {47, "QPS     XR-W4424SQ", ModelField::Name, kWholeText},
    {47, "CREATIVECD-RW RW4424E", ModelField::Name, kWholeText},
    {47, "GENERIC CRD-RWF", ModelField::Name, kWholeText},
    // 151
    {52, "GoldstarCD-RW CED-8042B", ModelField::Name, kWholeText},
    // 152
    {47, "COMPAQ  CD-RW  CW-7585", ModelField::Name, kWholeText},
    {47, "WDC     WDC12432SS", ModelField::Name, kWholeText},
    // 153
    {52, "GoldstarCD-RW CED-8043B", ModelField::Name, kWholeText},
    // 154
    {47, "MEMOREX CDRW6424S", ModelField::Name, kWholeText},
    {47, "GENERIC CRD-RW900P", ModelField::Name, kWholeText},
    {47, "        4X4X20 SCSI CDRW", ModelField::Name, kWholeText},
    {47, "MATSHITACDRW 4420-NB", ModelField::Name, kWholeText},
    {47, "MATSHITACDRRW02", ModelField::Name, kWholeText},
    {47, "        OIP-RW2004A", ModelField::Name, kWholeText},
    {47, "        OIP-PW2004A", ModelField::Name, kWholeText},
    {47, "MEMTEK  CDRW4420S", ModelField::Name, kWholeText},
    {47, "        4X4X20 IDE CD-RW", ModelField::Name, kWholeText},
    {47, "maxell  MCDRW8X4X32", ModelField::Name, kWholeText},
    {47, "LITE-ON LTR-1240", ModelField::Name, kWholeText},
    {47, "LITE-ON LTR-0840", ModelField::Name, kWholeText},
    {47, "        OEM-W141", ModelField::Name, kWholeText},
    {47, "LG      CD-RW CED-8125B", ModelField::Name, kWholeText},
    {47, "LG      CD-RW CED-8124B", ModelField::Name, kWholeText},
    {47, "LG      CD-RW CED-8123B", ModelField::Name, kWholeText},
    {47, "LG      CD-RW CED-8122B", ModelField::Name, kWholeText},
    {47, "LG      CD-RW CED-8121B", ModelField::Name, kWholeText},
    {47, "MEMOREX CDRW6424", ModelField::Name, kWholeText},
    {47, "YAMAHA  CRW8424E", ModelField::Name, kWholeText},
    {47, "MEMOREX CDRW4420S", ModelField::Name, kWholeText},
    {47, "MEMOREX CDRW4420", ModelField::Name, kWholeText},
    {47, "MEMOREX CDRW/DVD 6424-4", ModelField::Name, kWholeText},
    {47, "Memorex CDRW-4420S", ModelField::Name, kWholeText},
    {47, "MATSHITAUJDA310", ModelField::Name, kWholeText},
    {47, "YAMAHA  CRW8824E", ModelField::Name, kWholeText},
    {47, "        OME-W141", ModelField::Name, kWholeText},
    {47, "YAMAHA  CRW8824S", ModelField::Name, kWholeText},
    {47, "MEMOREX CD-RW 12432S", ModelField::Name, kWholeText},
    {47, "MEMOREX CD-RW4424", ModelField::Name, kWholeText},
    {47, "MELCO   CDRW-S8432", ModelField::Name, kWholeText},
    {47, "maxell  MDVDRW6424", ModelField::Name, kWholeText},
    {47, "RICOH   DVD/CDRW MP9060", ModelField::Name, kWholeText},
    {47, "RICOH   MP7080A", ModelField::Name, kWholeText},
    // 155
    {42, "MELCO   CDRW-S4224", ModelField::Name, kWholeText},
    {42, "SONY    CD-RW   CRX50A", ModelField::Name, kWholeText},
    {42, "SONY    CD-RW  CRX55A", ModelField::Name, kWholeText},
    {42, "SONY    CD-R   CRX100E", ModelField::Name, kWholeText},
    {42, "SONY    CD-R   CRX080E", ModelField::Name, kWholeText},
    {42, "SONY    CD-R   ROX5004", ModelField::Name, kWholeText},
    {42, "SONY    CD-R   CRX510E", ModelField::Name, kWholeText},
    {42, "SONY    CD-R   CRX110E", ModelField::Name, kWholeText},
    {42, "SONY    CD-RW  CRX500E", ModelField::Name, kWholeText},
    // 156
    {35, "PHILIPS PCRW804", ModelField::Name, kWholeText},
    {35, "ARCHOS  MINICDRW XS4424", ModelField::Name, kWholeText},
    {35, "ARCHOS  MINICDRW XS4432", ModelField::Name, kWholeText},
    {35, "ARCHOS  XS 4424", ModelField::Name, kWholeText},
    {35, "PHILIPS PCRW 406", ModelField::Name, kWholeText},
    {35, "WAITEC  WT2444EI", ModelField::Name, kWholeText},
    {35, "PHILIPS PCRW 506", ModelField::Name, kWholeText},
    {35, "MiniCDRWXS4432", ModelField::Name, kWholeText},
    {35, "MiniCDRWXS4424", ModelField::Name, kWholeText},
    {35, "MEMOREX CDRW 4432", ModelField::Name, kWholeText},
    {35, "MEMOREX CDRW 4424", ModelField::Name, kWholeText},
    {35, "ARTEC   FRISBY", ModelField::Name, kWholeText},
    {35, "Actima  ARW4424P", ModelField::Name, kWholeText},
    {35, "CyberDrvCW043D CD-R/RW", ModelField::Name, kWholeText},
    {35, "WAITEC  WT3244EI", ModelField::Name, kWholeText},
    {35, "NEWMAX  Taeil CDE-4432", ModelField::Name, kWholeText},
    {35, "ATAPI   CD-R/RW 6X4X32", ModelField::Name, kWholeText},
    {35, "Actima  G44P32", ModelField::Name, kWholeText},
    {35, "DYSAN   CDRW 4432", ModelField::Name, kWholeText},
    {35, "DYSAN   CDRW 4424", ModelField::Name, kWholeText},
    {35, "Actima  ARW4432P", ModelField::Name, kWholeText},
    {35, "PHILIPS CDD4801 CD-R/RW", ModelField::Name, kWholeText},
    {35, "WPI     CDRW-4432", ModelField::Name, kWholeText},
    {35, "Actima  G44A24", ModelField::Name, kWholeText},
    {35, "Actima  G44A32", ModelField::Name, kWholeText},
    {35, "Actima  G44P24", ModelField::Name, kWholeText},
    {35, "PHILIPS CDD4201 CD-R/RW", ModelField::Name, kWholeText},
    {35, "ATAPI   CD-R/RW 4X4X6", ModelField::Name, kWholeText},
    {35, "TraxdataCDRW4424 PLUS", ModelField::Name, kWholeText},
    {35, "IOMEGA  ZIPCD 650", ModelField::Name, kWholeText},
    {35, "        ARW4424P", ModelField::Name, kWholeText},
    {35, "        ARW4432P", ModelField::Name, kWholeText},
    {35, "BTC     BCE424IE", ModelField::Name, kWholeText},
    {35, "IMATION MINICDRW XS4424", ModelField::Name, kWholeText},
    {35, "        G44A24", ModelField::Name, kWholeText},
    // 157
    {54, "IDE-CD  R/RW 4x4x32", ModelField::Name, kWholeText},
    {54, "IDE-CD  R/RW 4x4x30", ModelField::Name, kWholeText},
    // 158
    {35, "SAMSUNG CD-R/RW SW-208B", ModelField::Name, kWholeText},
    {35, "SAMSUNG CD-R/RW SW-208F", ModelField::Name, kWholeText},
    {35, "SAMSUNG COMBO SM-304B", ModelField::Name, kWholeText},
    {35, "SAMSUNG COMBO SM-304F", ModelField::Name, kWholeText},
    {35, "IMATION MINICDRW XS4432", ModelField::Name, kWholeText},
    {35, "ATAPI   CD-R/RW 8X4X32A", ModelField::Name, kWholeText},
    {35, "ATAPI   CD-R/RW 4X4X24", ModelField::Name, kWholeText},
    {35, "ATAPI   CD-R/RW 4X4X30", ModelField::Name, kWholeText},
    {35, "ATAPI   CD-R/RW 6X4X30", ModelField::Name, kWholeText},
    {35, "TraxdataCDRW4432 PLUS", ModelField::Name, kWholeText},
    {35, "ATAPI   CD-R/RW 8X4X30", ModelField::Name, kWholeText},
    {35, "ATAPI   CD-R/RW CRW4432A", ModelField::Name, kWholeText},
    {35, "ATAPI   CD-R/RW CRW8432", ModelField::Name, kWholeText},
    {35, "ATAPI   CD-R/RW CRW8432A", ModelField::Name, kWholeText},
    {35, "        G44P32", ModelField::Name, kWholeText},
    {35, "        G44P24", ModelField::Name, kWholeText},
    {35, "        G44A32", ModelField::Name, kWholeText},
    {35, "ATAPI   CD-R/RW 8X4X24", ModelField::Name, kWholeText},
    // 159
    {49, "SONY    CD-RW  CRX130E", ModelField::Name, kWholeText},
    // 160
    {69, "SONY    CD-RW  CRX145E", ModelField::Name, kWholeText},
    // 161
    {21, "MITSUMI CR-2600TE", ModelField::Name, kWholeText},
    {21, "MITSUMI CR-2801TE", ModelField::Name, kWholeText},
    // 162
    {41, "MITSUMI CR-4801TS", ModelField::Name, kWholeText},
    // 163
    {21, "BACKPACKCD-REWRITER-4D", ModelField::Name, kWholeText},
    {21, "BACKPACKCD-REWRITER-4C", ModelField::Name, kWholeText},
    // 164
    {9, "PLASMON RF4100", ModelField::Name, kWholeText},
    // 165
    {29, "TraxdataCRW2260 PRO", ModelField::Name, kWholeText},
    // 166
    {25, "COMPAQ  CRD-8240B", ModelField::Name, kWholeText},
    // 167
    {44, "CREATIVECD-RW RW8432E", ModelField::Name, kWholeText},
    // 168
    {37, "SCSI-CD ReWritable-2x2x", ModelField::Name, kWholeText},
    // 169
    {46, "SAF     CD-RW6424S", ModelField::Name, kWholeText},
    // 170
    {25, "SAF   CD-RW4424A", ModelField::Name, kWholeText},
    // 171
    {54, "IDE-CD  R/RW 2x2x24", ModelField::Name, kWholeText},
    // 172
    {25, "PHILIPS PCA267CR", ModelField::Name, kWholeText},
    {25, "WPI     CDR-622", ModelField::Name, kWholeText},
    {25, "WPI     CDR-622     E1", ModelField::Name, kWholeText},
    {25, "WPI     CDRW-4424", ModelField::Name, kWholeText},
    {25, "        CRW9624", ModelField::Name, kWholeText},
    // 173
    {44, "RWD     XR-RW4424", ModelField::Name, kWholeText},
    // 174
    {46, "Memorex CDRW-4416S", ModelField::Name, kWholeText},
    // 175
    {40, "YAMAHA  CRW8424S", ModelField::Name, kWholeText},
    // 176
    {31, "OLYMPUS CDS620E", ModelField::Name, kWholeText},
    // 177
    {29, "DYSAN   CRW-426", ModelField::Name, kWholeText},
    // 178
    {49, "SONY    CD-RW  CRX145S", ModelField::Name, kWholeText},
    // 179
    {51, "MITSUMI CR-4804TE USB", ModelField::Name, kWholeText},
    // 180
    {24, "RICOH   RO1060C", ModelField::Name, kWholeText},
    // 181
    {49, "HP      CD-Writer+ 9300", ModelField::Name, kWholeText},
    // 182
    {36, "HP      CD-Writer+ 8200a", ModelField::Name, kWholeText},
    // 183
    {35, "USB     CD-R/RW 4X4X6", ModelField::Name, kWholeText},
    // 184
    {49, "TDK     CDRW8432", ModelField::Name, kWholeText},
    // 185
    {39, "SAF     CD-RW4432A", ModelField::Name, kWholeText},
    // 186
    {46, "RICOH   CD-R/RW MP7080A", ModelField::Name, kWholeText},
    // 187
    {36, "HP      CD-Writer+ 8290", ModelField::Name, kWholeText},
    // 188
    {44, "CREATIVECD-RW  RW8433E", ModelField::Name, kWholeText},
    // 189
    {57, "GENERIC CRD-BP3", ModelField::Name, kWholeText},
    // 190
    {62, "WAITEC  SHUTTLE", ModelField::Name, kWholeText},
    // 191
    {61, "WAITEC  CD-R   WT3284", ModelField::Name, kWholeText},
    // 192
    {60, "TOSHIBA DVD-ROM SD-R1002", ModelField::Name, kWholeText},
    // 193
    {59, "MATSHITACD-RW  CW-7586", ModelField::Name, kWholeText},
    {59, "MATSHITACD-RW  CW-7586-B", ModelField::Name, kWholeText},
    {59, "MATSHITACD-RW  CW-7585", ModelField::Name, kWholeText},
    // 194
    {58, "YAMAHA  CRW2100E", ModelField::Name, kWholeText},
    {58, "YAMAHA  CRW2100S", ModelField::Name, kWholeText},
    // 195
    {56, "TEAC    CD-W512EB", ModelField::Name, kWholeText},
    {56, "AOPEN   CRW1232", ModelField::Name, kWholeText},
    {56, "        CRW1232", ModelField::Name, kWholeText},
    // 196
    {57, "PLEXTOR CD-R   PX-W1210S", ModelField::Name, kWholeText},
    {57, "PLEXTOR CD-R   PX-W1210A", ModelField::Name, kWholeText},
    {57, "QPS     CD-R   PX-W1210A", ModelField::Name, kWholeText},
    // 197
    {46, "        CD-R/RW RW7063A", ModelField::Name, kWholeText},
    {46, "RICOH   CD-R/RW MP7063A", ModelField::Name, kWholeText},
    // 198
    {63, "SONY    CD-RW  CRX160E", ModelField::Name, kWholeText},
    // 199
    {49, "CREATIVECD-RW RW8435E", ModelField::Name, kWithEnd},
    {49, "CDWriterIDE8x4x32", ModelField::Name, kWholeText},
    {49, "        CRW9832", ModelField::Name, kWholeText},
    // 200
    {53, "PHILIPS 4424 CDRW", ModelField::Name, kWholeText},
    // 201
    {47, "IOMEGA  ZIPCDINT1536", ModelField::Name, kWholeText},
    // 202
    {54, "CDWriterIDE4x4x24", ModelField::Name, kWholeText},
    {54, "CDWriterIDE4x4x32", ModelField::Name, kWholeText},
    {54, "BTC     BCE832IE", ModelField::Name, kWholeText},
    {54, "WPI     CDRW-8432i", ModelField::Name, kWholeText},
    {54, "CDWriterIDE8x4x40", ModelField::Name, kWholeText},
    {54, "BTC     BCE840IE", ModelField::Name, kWholeText},
    {54, "MELCO   CDRW-S4432", ModelField::Name, kWholeText},
    {54, "        ARW4424E", ModelField::Name, kWholeText},
    {54, "ACTIMA  ARW4424E", ModelField::Name, kWholeText},
    {54, "ACTIMA  ARW8432E", ModelField::Name, kWholeText},
    {54, "ACTIMA  ARW8432P", ModelField::Name, kWholeText},
    {54, "        ARW8432E", ModelField::Name, kWholeText},
    {54, "        ARW8432P", ModelField::Name, kWholeText},
    {54, "HP      CD-Writer+ 9100c", ModelField::Name, kWholeText},
    {54, "CANON   XS4424", ModelField::Name, kWholeText},
    {54, "Creative4X4X24 CDRW EXT", ModelField::Name, kWholeText},
    {54, "ARC     XS4424", ModelField::Name, kWholeText},
    {54, "ARC     XS8432", ModelField::Name, kWholeText},
    {54, "ARCHOS  MiniCDRW XS8432", ModelField::Name, kWholeText},
    {54, "CyberDrvCW017D CD-R/RW", ModelField::Name, kWholeText},
    {54, "CDWriterIDE8432", ModelField::Name, kWholeText},
    {54, "BTC     BCE833IE", ModelField::Name, kWholeText},
    {54, "HP      CD-Writer+ 9100ei", ModelField::Name, kWholeText},
    {54, "SONY    CRX0821", ModelField::Name, kWholeText},
    // 203
    {50, "YAMAHA  CRW8824IX", ModelField::Name, kWholeText},
    {50, "WAITEC  CD-R WT2082", ModelField::Name, kWholeText},
    {50, "QPS     CD-R   PX-W124TS", ModelField::Name, kWholeText},
    {50, "TEAC    CD-W512E", ModelField::Name, kWholeText},
    // 204
    {51, "MITSUMI CR-4805TE", ModelField::Name, kWholeText},
    // 205
    {50, "TEAC    CD-W58E", ModelField::Name, kWholeText},
    {50, "RICOH   CD-R/RW MP7120A", ModelField::Name, kWholeText},
    {50, "        CD-R/RW RW7120A", ModelField::Name, kWholeText},
    {50, "RICOH   DVD/CDRW MP9120", ModelField::Name, kWholeText},
    {50, "        DVD/CDRW RW9120", ModelField::Name, kWholeText},
    {50, "CREATIVECD-RW RW8433E", ModelField::Name, kWholeText},
    {50, "E-IDE   CD-R/RW 12X10X32", ModelField::Name, kWholeText},
    // 206
    {43, "Sanyo   CRD-BP3", ModelField::Name, kWholeText},
    // 207
    {56, "Sanyo   CRD-BP1300P", ModelField::Name, kWholeText},
    {56, "GENERIC CRD-BP1300P", ModelField::Name, kWholeText},
    {56, "IOMEGA  ZIPCD3840INT", ModelField::Name, kWholeText},
    {56, "WPI     CDRW-12832", ModelField::Name, kWholeText},
    {56, "TDK     CDRW121032", ModelField::Name, kWholeText},
    {56, "TDK     CDRW121032X", ModelField::Name, kWholeText},
    {56, "IOMEGA  ZIPCD3840INT-A", ModelField::Name, kWholeText},
    {56, "SPINNCO CDR-Y2000", ModelField::Name, kWholeText},
    {56, "TEAC    CD-W512SB", ModelField::Name, kWholeText},
    {56, "SPINNCO DVDR-Y2000", ModelField::Name, kWholeText},
    {56, "CreativeCD-RW RW121032E", ModelField::Name, kWholeText},
    // 208
    {46, "SAMSUNG CD-R/RW RW-208", ModelField::Name, kWholeText},
    {46, "MATSHITAUJDA330", ModelField::Name, kWholeText},
    {46, "        DVD/CDRW RW9060A", ModelField::Name, kWholeText},
    {46, "SAMSUNG CD-R/RW SW-207F", ModelField::Name, kWholeText},
    {46, "RICOH   CD-R/RW MP7083A", ModelField::Name, kWholeText},
    {46, "        CD-R/RW RW7083A", ModelField::Name, kWholeText},
    {46, "Memorex CDRW-6424S", ModelField::Name, kWholeText},
    // 209
    {59, "TEAC    CD-W24E", ModelField::Name, kWholeText},
    // 210
    {42, "ADDONICSCD-RW 2000", ModelField::Name, kWholeText},
    {42, "        CD-RW 446USB", ModelField::Name, kWholeText},
    {42, "Q-lity  CD-R/RW ECW-043", ModelField::Name, kWholeText},
    {42, "AOPEN   CRS446U", ModelField::Name, kWholeText},
    // 211
    {56, "ATAPI   CD-R/RW 10X4X32", ModelField::Name, kWholeText},
    {56, "ATAPI   CD-R/RW 12X4X32", ModelField::Name, kWholeText},
    {56, "ATAPI   CD-R/RW 12X4X40", ModelField::Name, kWholeText},
    {56, "IDE-CD  R/RW 12x8x32", ModelField::Name, kWholeText},
    // 212
    {49, "        CD-RW 8424E", ModelField::Name, kWholeText},
    {49, "SONY    CRX75L", ModelField::Name, kWholeText},
    {49, "SONY    CRX700E", ModelField::Name, kWholeText},
    {49, "MATSHITAUJDA320", ModelField::Name, kWholeText},
    {49, "MATSHITACDRRW03", ModelField::Name, kWholeText},
    {49, "GENERIC CDRRW03", ModelField::Name, kWholeText},
    {49, "ATAPI   CD-R/RW 6X4X24X", ModelField::Name, kWholeText},
    {49, "HP      CD-Writer+ 9100e", ModelField::Name, kWholeText},
    // 213
    {46, "        CRW-ES4420", ModelField::Name, kWholeText},
    {46, "        VIN-ES4420", ModelField::Name, kWholeText},
    // 214
    {49, "HP     CD-Writer+ 9500", ModelField::Name, kWholeText},
    // 215
    {48, "SONY   CD-RW CRX160S", ModelField::Name, kWholeText},
    {48, "HP     CD-Writer+ 9600", ModelField::Name, kWholeText},
    // 216
    {47, "LITE-ONLTR-1240B", ModelField::Name, kWholeText},
    {47, "maxell MCD-RW84-32", ModelField::Name, kWholeText},
    // 217
    {46, "        CQ8040A", ModelField::Name, kWholeText},
    {46, "LITE-ON LTR-0841", ModelField::Name, kWholeText},
    // 218
    {39, "WAITEC  WT824", ModelField::Name, kWholeText},
    // 219
    {49, "HP      CD-Writer+ 9100b", ModelField::Name, kWholeText},
    // 220
    {47, "LACIE   CDBP-12432A", ModelField::Name, kWholeText},
    // 221
    {64, "GENERIC CRD-BP1400P", ModelField::Name, kWholeText},
    // 222
    {65, "LITE-ON LTR-12101B", ModelField::Name, kWholeText},
    {65, "LITE-ON LTR-12102B", ModelField::Name, kWholeText},
    {65, "LITE-ON LTR-12101C", ModelField::Name, kWholeText},
    // 223
    {59, "SAMSUNG CDRW/DVD SM-304B", ModelField::Name, kWholeText},
    // 224
    {66, "SAMSUNG CDRW/DVD SM-308B", ModelField::Name, kWholeText},
    {66, "SAMSUNG CD-R/RW SW-408B", ModelField::Name, kWholeText},
    // 225
    {67, "CyberDrvCW018D CD-R/RW", ModelField::Name, kWholeText},
    {67, "IOMEGA  ZIPCD1024INT-A", ModelField::Name, kWholeText},
    {67, "MITSUMI CR-4845TE", ModelField::Name, kWholeText},
    {67, "MITSUMI CR-48X5TE", ModelField::Name, kWholeText},
    // 226
    {54, "IDE-CD  R/RW 8x4x32", ModelField::Name, kWholeText},
    // 227
    {68, "TDK     CDRW161040X", ModelField::Name, kWholeText},
    // 228
    {51, "IOMEGA  ZIPCD 650 USB", ModelField::Name, kWholeText},
    // 229
    {58, "PLEXTOR CD-R   PX-W1610A", ModelField::Name, kWholeText},
    // 230
    {56, "_NEC    NR-7700A", ModelField::Name, kWholeText},
    // 231
    {70, "LG      CD-RW CED-8120B", ModelField::Name, kWholeText},
    // 232
    {71, "GENERIC CRD-BP4", ModelField::Name, kWholeText},
    // 233
    {58, "WAITEC  T-REX-EIDE", ModelField::Name, kWholeText},
    // 234
    {57, "WAITEC  RAPTOR", ModelField::Name, kWholeText},
    // 235
    {72, "_NEC    NR-7500A", ModelField::Name, kWholeText},
    // 236
    {63, "SONY    CD-RW  CRX200E", ModelField::Name, kWholeText},
    // 237
    {73, "PHILIPS PCRW1208", ModelField::Name, kWholeText},
};

constexpr DriverName kDriverNames[] = {
    {"YAMAHACDR100", 1},
    {"IMS521", 2},
    {"PLASMON", 3},
    {"KODAK225", 4},
    {"SONYCDU920", 5},
    {"PIONEER504", 6},
    {"MITSUMI", 7},
    {"RICOH", 8},
    {"IMS2000", 9},
    {"HP4020", 9},
    {"JVC2010", 11},
    {"TEAC", 12},
    {"PANASONIC", 13},
    {"HP6020", 14},
    {"SONYCDU926", 15},
    {"YAMAHACDR400", 16},
    {"JVC2020", 17},
    {"RICOH_MP6200", 18},
    {"YAMAHACDR200", 19},
    {"ATAPIROM", 20},
    {"ATAPIRECORDER", 21},
    {"IMS522", 22},
    {"DELTA", 23},
    {"RICOH_RO1420", 24},
    {"MMP3_VER8_RW", 25},
    {"YAMAHACDR401", 26},
    {"YAMAHACRW4001", 27},
    {"RICOH_MP6200A", 28},
    {"YAMAHACRW4260", 29},
    {"TEAC55S", 30},
    {"SONYCDU928", 31},
    {"SONYCDU948S", 32},
    {"PANASONIC_7502", 33},
    {"JVC_2042", 34},
    {"MMP3_VER8_DAO_RW", 35},
    {"HP8100", 36},
    {"PHILIPS3600", 37},
    {"PLEXTOR412", 38},
    {"TEAC56S", 39},
    {"YAMAHA4416", 40},
    {"MITSUMICR4801TE", 41},
    {"SONYCRX100", 42},
    {"SANYOR800", 43},
    {"JVC2082", 44},
    {"PANASONIC_7582", 45},
    {"RICOH_MP7040A", 46},
    {"PHILIPS_PCA460RW", 47},
    {"HP9200", 48},
    {"SONYCRX140E", 49},
    {"PLEXTOR8220", 50},
    {"MITSUMI4804USB", 51},
    {"LG8042B", 52},
    {"PHILIPS_PCRW404", 53},
    {"IDECDRW4X4X32", 54},
    {"MITSUMICR4802TE", 55},
    {"TEAC_CD_512EB", 56},
    {"PLEXTOR_PX_W1210S", 57},
    {"YAMAHACRW2100E", 58},
    {"PANASONIC_7585", 59},
    {"TOSHIBA_SDR1002", 60},
    {"WAITEC_WT3284", 61},
    {"WAITEC_SHUTTLE", 62},
    {"SONYCRX160E", 63},
    {"GENERIC_CRD_BP1400P", 64},
    {"LITEON_LTR_12101B", 65},
    {"SAMSUNG_SW408B", 66},
    {"CYBER_CW018", 67},
    {"TDK_CDRW161040X", 68},
    {"SONYCRX145E", 69},
    {"LG8120B", 70},
    {"GENERIC_CRD_BP4", 71},
    {"NEC_NR7500A", 72},
    {"PHILIPS_PCRW1208", 73},
};

}  // namespace

std::span<const ModelEntry> ModelTable() { return kModelTable; }

std::span<const DriverName> DriverNames() { return kDriverNames; }
