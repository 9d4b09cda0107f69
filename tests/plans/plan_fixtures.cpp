#include "plans/plan_fixtures.h"

#include <fstream>
#include <iterator>

#include "base/le_bytes.h"

namespace kova {

kvTestPlan MakeSamplePlan(int type, int taps) {
  kvTestPlan plan;
  plan.devicetype = type;
  plan.kneetype = 2;
  plan.company = "ACME POWER";
  plan.station = "NORTH SUB";
  plan.circuit = "FEEDER 12";
  plan.manufacturer = "HELMARK";
  plan.model = "CT-600";
  plan.comment = "ANNUAL TEST";
  plan.burdencurrent = 10;
  plan.insulationvoltage = 100;
  plan.numtests = taps;
  for (int i = 0; i < taps; ++i) {
    PlanTap& t = plan.taps[i];
    t.nNamePlateNum = 600 - 50 * i;
    t.fNamePlateDen = i % 2 ? 1.0 : 5.0;
    t.tapid = (i + 3) % 10;
    t.uTestType = 7;
    t.fVoltageRange = 2000 - 100 * i;
    t.fCurrentRange = 0.2 + 0.1 * i;
    t.szTestNote = "NOTE " + std::to_string(i);
    t.bDoBurdenTest = 1;
    t.fBurdenVA = 12.34 + i;
    t.fCosPhi = 0.8 - 0.01 * i;
    t.fSecCurrent = 5.0 - 0.1 * i;
  }
  plan.passfail.pfenable = 1;
  plan.passfail.pfturnsratiodeviation = 2;
  plan.passfail.pfcustomdeviation = 3;
  plan.passfail.pfcttype = 2;
  for (int i = 0; i < kTapTableSize; ++i) {
    plan.passfail.pfkneevoltage[i] = 100 + i;
    plan.resistance.pfresistance[i] = 0.5 + i;
  }
  plan.resistance.pfresdeviation = 2;
  plan.resistance.pfcustomresdeviation = 7.5;
  plan.resistance.unused96[5] = 0xAB;
  plan.classsettings.tempcelsius = 31.5;
  plan.classsettings.ratedcurrent = 1.0;
  plan.classsettings.multitap = 1;
  plan.classsettings.ctusage = 2;
  plan.taporder = "X1-X5,X1-X4";
  plan.EncodeImage(plan.image);
  return plan;
}

std::vector<uint8_t> FileContents(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)),
                              std::istreambuf_iterator<char>());
}

void PutFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

std::vector<uint8_t> OldPlanFile(const kvTestPlan& plan, int version) {
  uint8_t pf[kPassFailBlockSize], res[kResistanceBlockSize];
  plan.passfail.ToBytes(pf);
  plan.resistance.ToBytes(res);
  ByteWriter out;
  out.U32(kPlanFileMagic);
  out.U32(static_cast<uint32_t>(version));
  if (version >= 2) out.I32(plan.devicetype);
  out.Bytes(plan.image, version >= 2 ? plan.ImageSize() : 512);
  out.Bytes(pf, sizeof pf);
  out.Bytes(res, sizeof res);
  if (version >= 3) out.LengthPrefixed(plan.taporder);
  return out.Data();
}

}  // namespace kova
