// Command identifiers of the result view, with their menu texts.
#pragma once

namespace viewcmd {

// Graph commands.
constexpr int kDisplaced = 32807;
constexpr int kMoment = 32814;
constexpr int kShear = 32815;
constexpr int kAxial = 32816;
constexpr int kUpperStress = 32835;
constexpr int kLowerStress = 32836;
constexpr int kMomentEnvelope = 32826;
constexpr int kShearEnvelope = 32830;
constexpr int kAxialEnvelope = 32831;
constexpr int kInfluenceLine = 32808;
constexpr int kModeShape = 32811;
constexpr int kDynamicResponse = 32907;
constexpr int kCombinationEnvelope = 32913;
constexpr int kGraphSelector = 32812;

// Navigation and display.
constexpr int kPrevious = 32809;
constexpr int kNext = 32810;
constexpr int kMagnify = 32802;
constexpr int kReduce = 32803;
constexpr int kColour = 32806;
constexpr int kNodeNumbers = 32819;
constexpr int kElementNumbers = 32818;
constexpr int kConstraints = 32820;
constexpr int kSections = 32838;
constexpr int kElementGroup = 32817;

// Commands whose work belongs to the live-load and dynamics subsystems.
constexpr int kLiveLoadSelector = 32813;
constexpr int kInfluenceOutput = 32837;
constexpr int kLiveLoadType = 32832;
constexpr int kMomentEnvelopeRun = 32827;
constexpr int kShearEnvelopeRun = 32828;
constexpr int kAxialEnvelopeRun = 32829;
constexpr int kNaturalVibration = 32833;
constexpr int kDynamicRun = 32906;
constexpr int kDynamicData = 32909;
constexpr int kDynamicEdit = 32910;
constexpr int kCombinationRun = 32914;
// The response graph shows the bending moment at its step instead of the displaced shape.
constexpr int kDynamicMoment = 32911;
constexpr int kSave = 57603;
constexpr int kCancelRun = 32960;
constexpr int kAnimate = 32961;
constexpr int kEngineeringUnits = 32962;

// Mouse modes.
constexpr int kWindowZoom = 32821;
constexpr int kZoom = 32822;
constexpr int kLeaveMode = 32823;
constexpr int kPan = 32824;
constexpr int kInitialWindow = 32825;

// Printing.
constexpr int kPrint = 57607;
constexpr int kPrintDirect = 57608;
constexpr int kPrintPreview = 57609;

}  // namespace viewcmd
