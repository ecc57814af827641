// The VIF tables of the data record decoder: the primary VIF, the extension
// tables introduced by FDh and FBh, and the combinable VIFEs. Each is written
// as rows of byte ranges; the lookups are built from the rows once.
#include "mbus/MBusVifTables.h"

#include "mbus/MBusRecords.h"

#include <array>
#include <iterator>

namespace {

// One range of VIF (or first-VIFE) values, bits 6..0. The exponent is
// (value and ExpMask) + ExpBias; ExpMask 0 means the range has none.
struct TVifRow {
    uint8_t First;
    uint8_t Last;
    uint16_t Code;
    uint8_t ExpMask;
    int8_t ExpBias;
    const char* Text;
};

constexpr uint16_t None = MBus_No_Type;

constexpr TVifRow Primary_Rows[] = {
    {0x00, 0x07, 0, 7, -3, "Energy Wh"},
    {0x08, 0x0F, 1, 7, 0, "Energy J"},
    {0x10, 0x17, 2, 7, -6, "Volume m3"},
    {0x18, 0x1F, 3, 7, -3, "Mass kg"},
    {0x20, 0x20, 4, 0, 0, "On Time Seconds"},
    {0x21, 0x21, 4, 0, 0, "On Time Minutes"},
    {0x22, 0x22, 4, 0, 0, "On Time Hours"},
    {0x23, 0x23, 4, 0, 0, "On Time Days"},
    {0x24, 0x24, 5, 0, 0, "Operating Time Seconds"},
    {0x25, 0x25, 5, 0, 0, "Operating Time Minutes"},
    {0x26, 0x26, 5, 0, 0, "Operating Time Hours"},
    {0x27, 0x27, 5, 0, 0, "Operating Time Days"},
    {0x28, 0x2F, 6, 7, -3, "Power W"},
    {0x30, 0x37, 7, 7, 0, "Power J/h"},
    {0x38, 0x3F, 8, 7, -6, "Volume Flow m3/h"},
    {0x40, 0x47, 9, 7, -7, "Volume Flow ext. m3/min"},
    {0x48, 0x4F, 10, 7, -9, "Volume Flow ext. m3/s"},
    {0x50, 0x57, 11, 7, -3, "Mass Flow kg/h"},
    {0x58, 0x5B, 12, 3, -3, "Flow Temperature °C"},
    {0x5C, 0x5F, 13, 3, -3, "Return Temperature °C"},
    {0x60, 0x63, 14, 3, -3, "Temperature Difference K"},
    {0x64, 0x67, 15, 3, -3, "External Temperature °C"},
    {0x68, 0x6B, 16, 3, -3, "Pressure bar"},
    {0x6C, 0x6D, 20, 0, 0, ""}, // time point: the text follows the data field
    {0x6E, 0x6E, 22, 0, 0, "Units for H.C.A."},
    {0x6F, 0x6F, None, 0, 0, ""},
    {0x70, 0x70, 17, 0, 0, "Averaging Duration Seconds"},
    {0x71, 0x71, 17, 0, 0, "Averaging Duration Minutes"},
    {0x72, 0x72, 17, 0, 0, "Averaging Duration Hours"},
    {0x73, 0x73, 17, 0, 0, "Averaging Duration Days"},
    {0x74, 0x74, 18, 0, 0, "Actuality Duration Seconds"},
    {0x75, 0x75, 18, 0, 0, "Actuality Duration Minutes"},
    {0x76, 0x76, 18, 0, 0, "Actuality Duration Hours"},
    {0x77, 0x77, 18, 0, 0, "Actuality Duration Days"},
    {0x78, 0x78, 23, 0, 0, "Fabrication No"},
    {0x79, 0x79, 24, 0, 0, "Identification"},
    {0x7A, 0x7A, 25, 0, 0, "Bus Address"},
    {0x7B, 0x7B, 19, 0, 0, ""}, // FBh: the FBh table follows
    {0x7C, 0x7C, 21, 0, 0, "Vif in following String"},
    {0x7D, 0x7D, 19, 0, 0, ""}, // FDh: the FDh table follows
    {0x7E, 0x7E, None, 0, 0, "Any VIF"},
    {0x7F, 0x7F, None, 0, 0, "Manufacturer Specific"},
};

constexpr TVifRow FD_Rows[] = {
    {0x00, 0x03, 1, 3, -3, "Credit of (currency units)"},
    {0x04, 0x07, 2, 3, -3, "Debit of (currency units)"},
    {0x08, 0x08, 3, 0, 0, "Unique message Identification"},
    {0x09, 0x09, 4, 0, 0, "Device Type"},
    {0x0A, 0x0A, 5, 0, 0, "Manufacturer"},
    {0x0B, 0x0B, 6, 0, 0, "Parameter Set Identification"},
    {0x0C, 0x0C, 7, 0, 0, "Model Version"},
    {0x0D, 0x0D, 8, 0, 0, "Hardware Version Number"},
    {0x0E, 0x0E, 9, 0, 0, "Metrology (Firmware) Version Number"},
    {0x0F, 0x0F, 10, 0, 0, "Other Software Version Number"},
    {0x10, 0x10, 11, 0, 0, "Customer LOcation"},
    {0x11, 0x11, 12, 0, 0, "Customer"},
    {0x12, 0x12, 13, 0, 0, "Access Code User"},
    {0x13, 0x13, 14, 0, 0, "Access Code Operator"},
    {0x14, 0x14, 15, 0, 0, "Access Code System Operator"},
    {0x15, 0x15, 16, 0, 0, "Access Code Developer"},
    {0x16, 0x16, 17, 0, 0, "Password"},
    {0x17, 0x17, 18, 0, 0, "Error Flag (Binary)"},
    {0x18, 0x18, 19, 0, 0, "Error Mask"},
    {0x19, 0x19, 126, 0, 0, "Security Key"},
    {0x1A, 0x1A, 20, 0, 0, "Digital Output (Binary)"},
    {0x1B, 0x1B, 21, 0, 0, "Digital Input (Binary)"},
    {0x1C, 0x1C, 22, 0, 0, "Baudrate [Baud]"},
    {0x1D, 0x1D, 23, 0, 0, "Responce Delay Time [Bit-Times]"},
    {0x1E, 0x1E, 24, 0, 0, "Retry"},
    {0x1F, 0x1F, 127, 0, 0, "Remote Control (Device Specific e.g. Gas Value)"},
    {0x20, 0x20, 25, 0, 0, "First Storage Number for Cyclic Storage"},
    {0x21, 0x21, 26, 0, 0, "Last Storage Number for Cyclic Storage"},
    {0x22, 0x22, 27, 0, 0, "Size of Storage Block"},
    {0x24, 0x24, 28, 0, 0, "Storage Interval Second(s)"},
    {0x25, 0x25, 28, 0, 0, "Storage Interval Minute(s)"},
    {0x26, 0x26, 28, 0, 0, "Storage Interval Hour(s)"},
    {0x27, 0x27, 28, 0, 0, "Storage Interval Day(s)"},
    {0x28, 0x28, 29, 0, 0, "Storage Interval Month(s)"},
    {0x29, 0x29, 30, 0, 0, "Storage Interval Year(s)"},
    {0x2A, 0x2A, 128, 0, 0, "Operator Specific Data"},
    {0x2B, 0x2B, 129, 0, 0, "Time Point Second (0 to 59)"},
    {0x2C, 0x2C, 31, 0, 0, "Duration Since Last Readout Second(s)"},
    {0x2D, 0x2D, 31, 0, 0, "Duration Since Last Readout Minute(s)"},
    {0x2E, 0x2E, 31, 0, 0, "Duration Since Last Readout Hour(s)"},
    {0x2F, 0x2F, 31, 0, 0, "Duration Since Last Readout Day(s)"},
    {0x30, 0x30, 32, 0, 0, "Start (Date/Time) of Tariff"},
    {0x31, 0x31, 33, 0, 0, "Duration of Tariff Minute(s)"},
    {0x32, 0x32, 33, 0, 0, "Duration of Tariff Hour(s)"},
    {0x33, 0x33, 33, 0, 0, "Duration of Tariff Day(s)"},
    {0x34, 0x34, 34, 0, 0, "Period of Tariff Second(s)"},
    {0x35, 0x35, 34, 0, 0, "Period of Tariff Minute(s)"},
    {0x36, 0x36, 34, 0, 0, "Period of Tariff Hour(s)"},
    {0x37, 0x37, 34, 0, 0, "Period of Tariff Day(s)"},
    {0x38, 0x38, 35, 0, 0, "Period of Tariff Month(s)"},
    {0x39, 0x39, 36, 0, 0, "Period of Tariff Year(s)"},
    {0x3A, 0x3A, 37, 0, 0, "Dimensionless / No VIF"},
    {0x3B, 0x3B, 130, 0, 0, "Data Container for Wireless M-Bus Protocol"},
    {0x3C, 0x3C, 131, 0, 0, "Period of Nominal Data Transmissions Second(s)"},
    {0x3D, 0x3D, 131, 0, 0, "Period of Nominal Data Transmissions Minute(s)"},
    {0x3E, 0x3E, 131, 0, 0, "Period of Nominal Data Transmissions Hour(s)"},
    {0x3F, 0x3F, 131, 0, 0, "Period of Nominal Data Transmissions Day(s)"},
    {0x40, 0x4F, 38, 15, -9, "Electric Units Volts"},
    {0x50, 0x5F, 39, 15, -12, "Electric Units A"},
    {0x60, 0x60, 40, 0, 0, "Reset Counter"},
    {0x61, 0x61, 41, 0, 0, "Cumulation Counter"},
    {0x62, 0x62, 42, 0, 0, "Control Signal"},
    {0x63, 0x63, 43, 0, 0, "Day of Week"},
    {0x64, 0x64, 44, 0, 0, "Week Number"},
    {0x65, 0x65, 45, 0, 0, "Time Point of Day Change"},
    {0x66, 0x66, 46, 0, 0, "State of Parameter Activation"},
    {0x67, 0x67, 47, 0, 0, "Special Supplier Information"},
    {0x68, 0x68, 48, 0, 0, "Duration Since Last Cumulation Hour(s)"},
    {0x69, 0x69, 48, 0, 0, "Duration Since Last Cumulation Day(s)"},
    {0x6A, 0x6A, 48, 0, 0, "Duration Since Last Cumulation Month(s)"},
    {0x6B, 0x6B, 48, 0, 0, "Duration Since Last Cumulation Year(s)"},
    {0x6C, 0x6C, 49, 0, 0, "Operating Time Battery Hour(s)"},
    {0x6D, 0x6D, 49, 0, 0, "Operating Time Battery Day(s)"},
    {0x6E, 0x6E, 49, 0, 0, "Operating Time Battery Month(s)"},
    {0x6F, 0x6F, 49, 0, 0, "Operating Time Battery Year(s)"},
    {0x70, 0x70, 50, 0, 0, "Date and Time of Battery Change"},
    {0x71, 0x71, 132, 0, 0, "RF Level Units: dBm"},
    {0x72, 0x72, 133, 0, 0, "Daylight Savings (Beginning, Ending, Deviation) Data Type K"},
    {0x73, 0x73, 134, 0, 0, "Listening Window Management Data Type L"},
    {0x74, 0x74, 135, 0, 0, "Remaining Battery Life Time (Days)"},
    {0x75, 0x75, 136, 0, 0, "Number Times the Meter Was Stopped"},
};

constexpr TVifRow FB_Rows[] = {
    {0x00, 0x01, 51, 1, -1, "Energy MWh"},
    {0x02, 0x03, 137, 1, 0, "Reactive Energy kVARh"},
    {0x04, 0x05, 138, 1, 0, "Apparent Energy kVAh"},
    {0x08, 0x09, 52, 1, -1, "Energy GJ"},
    {0x0C, 0x0F, 139, 3, -1, "Energy MCal"},
    {0x10, 0x11, 53, 1, 2, "Volume m3"},
    {0x14, 0x17, 140, 3, -3, "Reactive Power kVAR"},
    {0x18, 0x19, 54, 1, 2, "Volume t"},
    {0x1A, 0x1B, 141, 1, -1, "Relative Humidity %"},
    {0x20, 0x20, 142, 0, 0, "Volume Feet 3"},
    {0x21, 0x21, 55, 0, 0, "Volume 0,1 Feet 3"},
    {0x22, 0x22, 56, 0, 0, "Volume 0,1 American Gallon"},
    {0x23, 0x23, 57, 0, 0, "Volume 1 American Gallon"},
    {0x24, 0x24, 58, 0, 0, "Volume Flow 0,001 American Gallon/min"},
    {0x25, 0x25, 59, 0, 0, "Volume Flow 1 American Gallon/min"},
    {0x26, 0x26, 60, 0, 0, "Volume Flow 1 American Gallon/h"},
    {0x28, 0x29, 61, 1, -1, "Power MW"},
    {0x2A, 0x2A, 143, 0, 0, "Phase U-U (Volt. to Volt.)"},
    {0x2B, 0x2B, 144, 0, 0, "Phase U-I (Volt. to Current)"},
    {0x2C, 0x2F, 145, 3, -3, "Frequency Hz"},
    {0x30, 0x31, 62, 1, -1, "Power GJ/h"},
    {0x34, 0x37, 146, 3, -3, "Apparent Power kVA"},
    {0x58, 0x5B, 63, 3, -3, "Flow Temperature °F"},
    {0x5C, 0x5F, 64, 3, -3, "Return Temperature °F"},
    {0x60, 0x63, 65, 3, -3, "Temperature Difference °F"},
    {0x64, 0x67, 66, 3, -3, "External Temperature °F"},
    {0x70, 0x73, 67, 3, -3, "Cold / Warm Temperature Limit °F"},
    {0x74, 0x77, 68, 3, -3, "Cold / Warm Temperature Limit °C"},
    {0x78, 0x7F, 69, 7, -3, "Cum. Max. of Active Power W"},
};

// How a combinable VIFE adds to the description.
enum TVifeKind : uint8_t {
    vkText,       // the row's text
    vkDate,       // the row's text; the value becomes a type G or F date
    vkDuration,   // " - Duration nn of " + the row's text, nn = c and 3
    vkMulFactor,  // the multiplicative correction factor 10^((c and 7) - 6)
    vkAddConst,   // the additive correction constant 10^((c and 3) - 3)
    vkPhase,      // the next VIFE names a phase
};

struct TVifeRow {
    uint8_t First;
    uint8_t Last;
    uint16_t Code; // 0: the record keeps its code
    TVifeKind Kind;
    const char* Text;
};

constexpr TVifeRow Vife_Rows[] = {
    {0x00, 0x00, 108, vkText, " - None"},
    {0x01, 0x01, 109, vkText, " - Too Many DIFEs"},
    {0x02, 0x02, 110, vkText, " - Storage Number not Implemented"},
    {0x03, 0x03, 111, vkText, " - Unit Number not Implemented"},
    {0x04, 0x04, 112, vkText, " - Tariff Number not Implemented"},
    {0x05, 0x05, 113, vkText, " - Function not Implemented"},
    {0x06, 0x06, 114, vkText, " - Data Class not Implemented"},
    {0x07, 0x07, 115, vkText, " - Data Size not Implemented"},
    {0x0B, 0x0B, 116, vkText, " - Too Many VIFEs"},
    {0x0C, 0x0C, 117, vkText, " - Illegal VIF-Group"},
    {0x0D, 0x0D, 118, vkText, " - Illegal VIF-Exponent"},
    {0x0E, 0x0E, 119, vkText, " - VIF / DIF Mismatch"},
    {0x0F, 0x0F, 120, vkText, " - Unimplemented Action"},
    {0x15, 0x15, 121, vkText, " - No Data Available (Undefined Value)"},
    {0x16, 0x16, 122, vkText, " - Data Overflow"},
    {0x17, 0x17, 123, vkText, " - Data Underflow"},
    {0x18, 0x18, 124, vkText, " - Data Error"},
    {0x1C, 0x1C, 125, vkText, " - Premature End of Record"},
    {0x20, 0x20, 70, vkText, " - Per Second"},
    {0x21, 0x21, 71, vkText, " - Per Minute"},
    {0x22, 0x22, 72, vkText, " - Per Hour"},
    {0x23, 0x23, 73, vkText, " - Per Day"},
    {0x24, 0x24, 74, vkText, " - Per Week"},
    {0x25, 0x25, 75, vkText, " - Per Month"},
    {0x26, 0x26, 76, vkText, " - Per Year"},
    {0x27, 0x27, 77, vkText, " - Per Revolution / Measurement"},
    {0x28, 0x28, 78, vkText, " - Increment per Input Pulse on Input Channel 0"},
    {0x29, 0x29, 78, vkText, " - Increment per Input Pulse on Input Channel 1"},
    {0x2A, 0x2A, 79, vkText, " - Increment per Output Pulse on Output Channel 0"},
    {0x2B, 0x2B, 79, vkText, " - Increment per Output Pulse on Output Channel 1"},
    {0x2C, 0x2C, 80, vkText, " - Per Liter"},
    {0x2D, 0x2D, 81, vkText, " - Per m3"},
    {0x2E, 0x2E, 82, vkText, " - Per kg"},
    {0x2F, 0x2F, 83, vkText, " - Per K (Kelvin)"},
    {0x30, 0x30, 84, vkText, " - Per kWh"},
    {0x31, 0x31, 85, vkText, " - Per GJ"},
    {0x32, 0x32, 86, vkText, " - Per kW"},
    {0x33, 0x33, 87, vkText, " - Per (K*l)(Kelvin * Litre)"},
    {0x34, 0x34, 88, vkText, " - Per V (Volt)"},
    {0x35, 0x35, 89, vkText, " - Per (A) (Ampere)"},
    {0x36, 0x36, 90, vkText, " - Multiplied by s"},
    {0x37, 0x37, 91, vkText, " - Multiplied by s / V"},
    {0x38, 0x38, 92, vkText, " - Multiplied by s / A"},
    {0x39, 0x39, 93, vkText, " - Start Date (/Time) of"},
    {0x3A, 0x3A, 94, vkText, " - VIF Contains Uncorrect Unit or Value at Metering Conditions Instead of Converted Unit"},
    {0x3B, 0x3B, 95, vkText, " - Accumulation Only if Positive Contributions (Forward Flow Contribution)"},
    {0x3C, 0x3C, 96, vkText, " - Accumulation of abs Value Only if Negative Contributions (Backward Flow)"},
    {0x3D, 0x3D, 147, vkText, " - Reserved for Alternate non-metric Unit System (according to Annex C)"},
    {0x3E, 0x3E, 148, vkText, " - Value at Base Conditions"},
    {0x40, 0x40, 97, vkText, " - Lower Limit Value"},
    {0x41, 0x41, 98, vkText, " - # of Exceeds of Lower Limit"},
    {0x42, 0x42, 99, vkDate, " - Date(/Time) of Begin of First Lower Limit Exceed"},
    {0x43, 0x43, 99, vkDate, " - Date(/Time) of End of First Lower Limit Exceed"},
    {0x46, 0x46, 99, vkDate, " - Date(/Time) of Begin of Last Lower Limit Exceed"},
    {0x47, 0x47, 99, vkDate, " - Date(/Time) of End of Last Lower Limit Exceed"},
    {0x48, 0x48, 97, vkText, " - Upper Limit Value"},
    {0x49, 0x49, 98, vkText, " - # of Exceeds of Upper Limit"},
    {0x4A, 0x4A, 99, vkDate, " - Date(/Time) of Begin of First Upper Limit Exceed"},
    {0x4B, 0x4B, 99, vkDate, " - Date(/Time) of End of First Upper Limit Exceed"},
    {0x4E, 0x4E, 99, vkDate, " - Date(/Time) of Begin of Last Upper Limit Exceed"},
    {0x4F, 0x4F, 99, vkDate, " - Date(/Time) of End of Last Upper Limit Exceed"},
    {0x50, 0x53, 100, vkDuration, "First Lower Limit Exceed"},
    {0x54, 0x57, 100, vkDuration, "Last Lower Limit Exceed"},
    {0x58, 0x5B, 100, vkDuration, "First Upper Limit Exceed"},
    {0x5C, 0x5F, 100, vkDuration, "Last Upper Limit Exceed"},
    {0x60, 0x63, 101, vkDuration, "First"},
    {0x64, 0x67, 101, vkDuration, "Last"},
    {0x68, 0x68, 149, vkText, " - Value During Lower Limit Exceed"},
    {0x69, 0x69, 150, vkText, " - Leakage Values"},
    {0x6A, 0x6A, 102, vkDate, " - Date(/Time) of Begin of First"},
    {0x6B, 0x6B, 102, vkDate, " - Date(/Time) of End of First"},
    {0x6C, 0x6C, 149, vkText, " - Value During Upper Limit Exceed"},
    {0x6D, 0x6D, 151, vkText, " - Overflow Values"},
    {0x6E, 0x6E, 102, vkDate, " - Date(/Time) of Begin of Last"},
    {0x6F, 0x6F, 102, vkDate, " - Date(/Time) of End of Last"},
    {0x70, 0x77, 103, vkMulFactor, ""},
    {0x78, 0x7B, 104, vkAddConst, ""},
    {0x7C, 0x7C, 0, vkPhase, ""},
    {0x7D, 0x7D, 105, vkText, " - Multiplicative Cerrection Factor: 10^(3)"},
    {0x7E, 0x7E, 106, vkText, " - Future Value"},
    {0x7F, 0x7F, 107, vkText, " - Next VIFEs and Data of This Block Are Manufacturer Specific"},
};

// Phase texts by the VIFE after 7Ch (and 7Fh).
struct TPhaseRow {
    uint8_t Value;
    const char* Text;
};
constexpr TPhaseRow Phase_Rows[] = {
    {0x01, " - At Phase L1"},
    {0x02, " - At Phase L2"},
    {0x03, " - At Phase L3"},
    {0x04, " - At Neutral (N)"},
    {0x05, " - Between Phase L1 and L2"},
    {0x06, " - Between Phase L2 and L3"},
    {0x07, " - Between Phase L3 and L1"},
    {0x10, " - Accumulation of abs. Value for Both Positive and Negative Contribution (Absolute Count)"},
};

// Rows in rising order, none overlapping, all within 7 bits: checked while
// compiling so the lookups built from them are sound.
template <class Row, size_t N>
constexpr bool Rows_Ordered(const Row (&rows)[N])
{
    int next = 0;
    for (const Row& r : rows) {
        if (r.First < next || r.Last < r.First || r.Last > 0x7F)
            return false;
        next = r.Last + 1;
    }
    return true;
}
static_assert(Rows_Ordered(Primary_Rows));
static_assert(Rows_Ordered(FD_Rows));
static_assert(Rows_Ordered(FB_Rows));
static_assert(Rows_Ordered(Vife_Rows));
static_assert(std::size(Primary_Rows) > 0 && Primary_Rows[std::size(Primary_Rows) - 1].Last == 0x7F,
              "every primary VIF has a row");

using TVifLookup = std::array<TVifEntry, 128>;

// Bytes without a row: the primary table has none of them; the extension
// tables call them reserved.
template <size_t N>
TVifLookup Build_Lookup(const TVifRow (&rows)[N], uint16_t noCode, const char* noText)
{
    TVifLookup t;
    for (TVifEntry& e : t) {
        e.Code = noCode;
        e.Text = QString::fromUtf8(noText);
    }
    for (const TVifRow& r : rows) {
        const QString text = QString::fromUtf8(r.Text);
        for (int b = r.First; b <= r.Last; ++b) {
            TVifEntry& e = t[size_t(b)];
            e.Code = r.Code;
            e.Exponent = r.ExpMask ? (b & r.ExpMask) + r.ExpBias : 0;
            e.Text = text;
        }
    }
    return t;
}

const TVifLookup& primaryLookup()
{
    static const TVifLookup t = Build_Lookup(Primary_Rows, None, "");
    return t;
}

const TVifLookup& fdLookup()
{
    static const TVifLookup t = Build_Lookup(FD_Rows, 0, "Reserved");
    return t;
}

const TVifLookup& fbLookup()
{
    static const TVifLookup t = Build_Lookup(FB_Rows, 0, "Reserved");
    return t;
}

QString exponentText(int e)
{
    return QString::number(e);
}

std::array<TVifeEntry, 128> Build_Vife_Lookup()
{
    std::array<TVifeEntry, 128> t;
    for (TVifeEntry& e : t)
        e.Text = QStringLiteral(" - Reserved");
    for (const TVifeRow& r : Vife_Rows) {
        for (int c = r.First; c <= r.Last; ++c) {
            TVifeEntry& e = t[size_t(c)];
            e.Code = r.Code;
            e.Date = r.Kind == vkDate;
            e.Phase = r.Kind == vkPhase;
            switch (r.Kind) {
            case vkText:
            case vkDate:
                e.Text = QString::fromUtf8(r.Text);
                break;
            case vkDuration:
                e.Text = QStringLiteral(" - Duration ") + Two_Digits(c & 3) + QStringLiteral(" of ") +
                         QString::fromUtf8(r.Text);
                break;
            case vkMulFactor:
                e.Text = QStringLiteral(" - Moltiplicative Correction Factor: 10^(") + exponentText((c & 7) - 6) +
                         QStringLiteral(")");
                break;
            case vkAddConst:
                e.Text = QStringLiteral(" - Additive Correction Constant: 10^(") + exponentText((c & 3) - 3) +
                         QStringLiteral(") * Unit of VIF");
                break;
            case vkPhase:
                e.Text.clear();
                break;
            }
        }
    }
    return t;
}

} // namespace

const TVifEntry& Primary_Vif(uint8_t vif)
{
    return primaryLookup()[vif & 0x7F];
}

const TVifEntry& Vif_Table_FD(uint8_t vife)
{
    return fdLookup()[vife & 0x7F];
}

const TVifEntry& Vif_Table_FB(uint8_t vife)
{
    return fbLookup()[vife & 0x7F];
}

const TVifeEntry& Combinable_Vife(uint8_t vife)
{
    static const std::array<TVifeEntry, 128> t = Build_Vife_Lookup();
    return t[vife & 0x7F];
}

const QString& Phase_Text(uint8_t vife)
{
    static const std::array<QString, 128> t = [] {
        std::array<QString, 128> a;
        for (const TPhaseRow& r : Phase_Rows)
            a[r.Value] = QString::fromUtf8(r.Text);
        return a;
    }();
    return t[vife & 0x7F];
}
