#ifndef METDB_TESTS_SUPPORT_STATIONLISTEXCERPTS_H_
#define METDB_TESTS_SUPPORT_STATIONLISTEXCERPTS_H_

// Short excerpts of the published station lists, laid out as their format
// descriptions give them: what the readers' tests read and the lists fuzz
// target starts from.
namespace testsupport {

// NOAA GHCN-Daily's ghcnd-stations.txt: one station of each level's kind.
inline const char kGhcndExcerpt[] =
    "SZ000006717  47.4800    8.5331  426.0    ZURICH/KLOTEN                  GSN     06670\n"
    "USW00094728  40.7789  -73.9692   39.6 NY NEW YORK CNTRL PK TWR              HCN 72506\n"
    "NOE00100686  69.6500   18.9333  100.0    TROMSO                                 01026\n"
    "ASN00066062 -33.8607  151.2050   39.0 NS SYDNEY (OBSERVATORY HILL)                   \n";

// NOAA ISD's isd-history.csv, the last station without a position.
inline const char kIsdExcerpt[] =
    "\"USAF\",\"WBAN\",\"STATION NAME\",\"CTRY\",\"STATE\",\"ICAO\",\"LAT\",\"LON\","
    "\"ELEV(M)\",\"BEGIN\",\"END\"\n"
    "\"066700\",\"99999\",\"ZURICH/KLOTEN\",\"SZ\",\"\",\"LSZH\",\"+47.480\",\"+008.536\","
    "\"+0432.0\",\"19310101\",\"20251231\"\n"
    "\"010010\",\"99999\",\"JAN MAYEN(NOR-NAVY)\",\"NO\",\"\",\"ENJA\",\"+70.933\",\"-008.667\","
    "\"+0009.0\",\"19310101\",\"20251231\"\n"
    "\"999999\",\"00001\",\"NO POSITION\",\"US\",\"CA\",\"\",\"\",\"\",\"\",\"20010101\","
    "\"20011231\"\n";

// OurAirports' airports.csv: a large, a medium, a heliport and a closed one.
inline const char kAirportsExcerpt[] =
    "id,ident,type,name,latitude_deg,longitude_deg,elevation_ft,continent,iso_country,"
    "iso_region,municipality\n"
    "2434,LSZH,large_airport,Zürich Airport,47.458056,8.548056,1417,EU,CH,CH-ZH,Zürich\n"
    "2435,LSZR,medium_airport,St. Gallen Altenrhein Airport,47.4850,9.5608,1306,EU,CH,CH-SG,"
    "Altenrhein\n"
    "9999,CH-0001,heliport,Some Heliport,47.0,8.0,1500,EU,CH,CH-ZH,Zug\n"
    "9998,XXCL,closed,Closed Field,46.0,7.0,1000,EU,CH,CH-VS,Sion\n";

// GeoNames' cities: a PPLA and a PPLA2.
inline const char kGeoNamesExcerpt[] =
    "2657896\tZürich\tZurich\tZurich,Zürich\t47.36667\t8.55\tP\tPPLA\tCH\t\t25\t112\t261"
    "\t\t341730\t\t429\tEurope/Zurich\t2024-01-01\n"
    "3133880\tTromsø\tTromso\t\t69.6489\t18.95508\tP\tPPLA2\tNO\t\t54\t5401\t\t\t41915\t\t28"
    "\tEurope/Oslo\t2024-01-01\n";

// A GeoJSON FeatureCollection: a point with the tool's own properties and a
// feature without a place.
inline const char kGeoJsonExcerpt[] =
    "{\"type\":\"FeatureCollection\",\"features\":["
    "{\"type\":\"Feature\",\"geometry\":{\"type\":\"Point\",\"coordinates\":[8.54,47.37]},"
    "\"properties\":{\"name\":\"Zürich\",\"state\":\"ZH\",\"country\":\"Switzerland\","
    "\"continent\":\"Europe\",\"level\":2,\"auxValue\":7,\"seriesA1\":1.5}},"
    "{\"type\":\"Feature\",\"geometry\":null,\"properties\":{\"name\":\"Nowhere\"}}]}";

}  // namespace testsupport

#endif  // METDB_TESTS_SUPPORT_STATIONLISTEXCERPTS_H_
