#pragma once

// The public half of the key that signs Dunmar's releases (minisign, Ed25519). It is compiled in
// on purpose: no setting, file or environment variable can make the updater trust another key.
inline constexpr char kReleasePublicKey[] = "RWQrBy7kPeA9l40ojyrOLM2pH21Hz8oXnDwJ+Ucm5j3jEKPMJd3DV2ik";
