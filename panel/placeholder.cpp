// Placeholder until this subsystem's sources land.
