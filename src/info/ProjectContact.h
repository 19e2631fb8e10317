#pragma once

// How people reach the Hueloom project; the About and Trouble Shooting windows show these.
namespace ProjectContact {

inline constexpr char EMail[] = "hueloom@example.org";

// Five lines, joined by a carriage return alone, as the address has always been kept.
inline constexpr char PostalAddress[] = "The Hueloom Project\r"
                                        "No postal office:\r"
                                        "we answer by e-mail\r"
                                        "at the address\r"
                                        "given below.";

} // namespace ProjectContact
