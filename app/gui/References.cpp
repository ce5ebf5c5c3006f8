// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/gui/References.h"

const char* ReferencesText()
{
    // The literature the calculator's method rests on: the interdigital design procedure,
    // the book with the prototype tables, and the analysis of coupled round rods between
    // ground planes. DOI addresses, because they stay valid when publishers move pages.
    return "Based on Works of\r\n"
           "\r\n"
           "G. L. Matthaei, \"Interdigital Band-Pass Filters\",\r\n"
           "IRE Transactions on Microwave Theory and Techniques,\r\n"
           "vol. MTT-10, no. 6, pp. 479-491, November 1962.\r\n"
           "\r\n"
           "G. L. Matthaei, L. Young, E. M. T. Jones, \"Microwave Filters,\r\n"
           "Impedance-Matching Networks, and Coupling Structures\",\r\n"
           "McGraw-Hill, New York 1964; reprinted by Artech House, Dedham 1980.\r\n"
           "\r\n"
           "E. G. Cristal, \"Coupled Circular Cylindrical Rods Between Parallel\r\n"
           "Ground Planes\", IEEE Transactions on Microwave Theory and Techniques,\r\n"
           "vol. MTT-12, no. 4, pp. 428-439, July 1964.\r\n"
           "\r\n"
           "The 1962 paper:\r\n"
           "https://doi.org/10.1109/TMTT.1962.1125540\r\n";
}
