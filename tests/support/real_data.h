// What the tests know of the real strong-motion data beside the project
// (../shared/data/real): the PEER records among the originals and the case
// folders that were made from them.
#ifndef LPGM_TESTS_SUPPORT_REAL_DATA_H_
#define LPGM_TESTS_SUPPORT_REAL_DATA_H_

#include <utility>

namespace lpgm::testing {

// (record file under original/NHERI-SimCenter_EE-UQ, case folder under
// cases).
inline constexpr std::pair<const char*, const char*> kPeerRecordCases[] = {
    {"RSN140_TABAS_FER-L1.AT2", "TABAS1978_FER_L"},
    {"RSN884_LANDERS_PSA090.AT2", "LANDERS1992_PSA090"},
    {"RSN879_LANDERS_LCN260.AT2", "LANDERS1992_LCN260"},
    {"RSN1160_KOCAELI_FAT000.AT2", "KOCAELI1999_FAT000"},
    {"RSN1180_CHICHI_CHY002-N.AT2", "CHICHI1999_CHY002N"},
    {"RSN1476_CHICHI_TCU029-N.AT2", "CHICHI1999_TCU029N"},
    {"RSN1426_CHICHI_TAP034-N.AT2", "CHICHI1999_TAP034N"},
    {"RSN2110_DENALI_FAIGO-90.AT2", "DENALI2002_FAIGO090"},
    {"RSN1628_STELIAS_059V2180.AT2", "STELIAS1979_ICY180"},
};

}  // namespace lpgm::testing

#endif  // LPGM_TESTS_SUPPORT_REAL_DATA_H_
