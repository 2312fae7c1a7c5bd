#!/usr/bin/perl
# Prints a Palm database as Debian's Palm::PDB reads it, in the line format the
# storage tests print for a database in memory, so the two can be compared.
use strict;
use warnings;
use Palm::PDB;
use Palm::Raw;

Palm::PDB::RegisterPDBHandlers("Palm::Raw", "");
Palm::PDB::RegisterPRCHandlers("Palm::Raw", "");

my %dbBits = (ResDB => 0x1, ReadOnly => 0x2, AppInfoDirty => 0x4, Backup => 0x8, OKToInstallNewer => 0x10,
              ResetAfterInstall => 0x20, CopyPrevention => 0x40, Stream => 0x80, Hidden => 0x100,
              LaunchableData => 0x200, Recyclable => 0x400, Bundle => 0x800);
my %recBits = (Delete => 0x80, Dirty => 0x40, Secret => 0x10);

sub palmTime { my $t = shift; return ($t + 2082844800) % 4294967296; }
sub hex_of { my $d = shift; return defined $d ? unpack("H*", $d) : ""; }

local $SIG{__WARN__} = sub {};
my $pdb = Palm::PDB->new;
open my $silence, '>', '/dev/null';
{
  local *STDERR = $silence;
  $pdb->Load($ARGV[0]);
}
my $attr = 0;
$attr |= $dbBits{$_} for grep { exists $dbBits{$_} } keys %{$pdb->{attributes}};
printf "name=%s\n", $pdb->{name};
printf "attributes=%04x version=%d type=%s creator=%s\n", $attr, $pdb->{version}, $pdb->{type}, $pdb->{creator};
printf "dates=%u/%u/%u modnum=%u seed=%u\n", palmTime($pdb->{ctime}), palmTime($pdb->{mtime}),
  palmTime($pdb->{baktime}), $pdb->{modnum}, $pdb->{uniqueIDseed};
printf "appinfo=%s\n", hex_of($pdb->{appinfo});
printf "sortinfo=%s\n", hex_of($pdb->{sort});
for my $r (@{$pdb->{records} || []}) {
  my $a = 0;
  $a |= $recBits{$_} for grep { exists $recBits{$_} } keys %{$r->{attributes}};
  $a |= defined $r->{category} ? $r->{category} : ($r->{attributes}{archive} ? 8 : 0);
  printf "record id=%u attr=%02x data=%s\n", $r->{id}, $a, hex_of($r->{data});
}
for my $r (@{$pdb->{resources} || []}) {
  printf "resource type=%s id=%u data=%s\n", $r->{type}, $r->{id}, hex_of($r->{data});
}
